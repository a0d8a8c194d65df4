tracemill_benchmark(bench_sort SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_sort.cpp DEPENDS tm_app)
tracemill_benchmark(bench_workspace SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_workspace.cpp DEPENDS tm_app)
tracemill_benchmark(bench_report SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_report.cpp DEPENDS tm_app)
