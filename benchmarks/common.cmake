tracemill_benchmark(bench_number SOURCES ${CMAKE_CURRENT_LIST_DIR}/common_number.cpp DEPENDS tm_common)
