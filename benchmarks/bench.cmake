# The work bench: same-colour area count against a plain queue-based flood
# fill, and the view geometry of a full-HD view on small and huge pictures.
tracemill_benchmark(bench_area_count SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_area.cpp DEPENDS tm_bench)
tracemill_benchmark(bench_view_geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_view.cpp DEPENDS tm_bench)
