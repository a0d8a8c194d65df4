# The bench window on the offscreen platform: repainting a full-HD view of a
# huge picture against a small one, and opening a 50-megapixel JPEG until the
# bench is painted against decoding it alone.
if(TARGET tm_ui)
  tracemill_benchmark(bench_ui_paint SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ui_paint.cpp
                      ${CMAKE_CURRENT_LIST_DIR}/bench_ui_support.h DEPENDS tm_ui)
  tracemill_benchmark(bench_ui_open SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ui_open.cpp
                      ${CMAKE_CURRENT_LIST_DIR}/bench_ui_support.h DEPENDS tm_ui)
endif()
