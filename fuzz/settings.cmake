tracemill_fuzzer(fuzz_settings_load SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_settings_load.cpp DEPENDS tm_settings)
