tracemill_fuzzer(fuzz_report SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_report.cpp DEPENDS tm_app)
