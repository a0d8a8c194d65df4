tracemill_benchmark(bench_sort SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_sort.cpp DEPENDS tm_app)
