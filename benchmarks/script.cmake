tracemill_benchmark(bench_script SOURCES ${CMAKE_CURRENT_LIST_DIR}/script_interp.cpp DEPENDS tm_script tm_app)
