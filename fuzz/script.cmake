tracemill_fuzzer(fuzz_script SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_script.cpp DEPENDS tm_script)
