tracemill_fuzzer(fuzz_page_range SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_page_range.cpp DEPENDS tm_app)
