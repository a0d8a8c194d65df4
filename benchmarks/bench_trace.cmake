# Automatic tracing: a curve across a 10,000-pixel-wide picture, markers on 50 megapixels.
tracemill_benchmark(bench_trace SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_trace.cpp DEPENDS tm_bench)
