# The windows on the offscreen platform. The bench window: repainting a full-HD view of a
# huge picture against a small one, and opening a 50-megapixel JPEG until the
# bench is painted against decoding it alone.
if(TARGET tm_ui)
  tracemill_benchmark(bench_ui_paint SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ui_paint.cpp
                      ${CMAKE_CURRENT_LIST_DIR}/bench_ui_support.h DEPENDS tm_ui)
  tracemill_benchmark(bench_ui_open SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ui_open.cpp
                      ${CMAKE_CURRENT_LIST_DIR}/bench_ui_support.h DEPENDS tm_ui)
  # The main list: a new line from a bench and a click on a row, with
  # 100,000 collected lines against 100.
  tracemill_benchmark(bench_ui_list SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_ui_list.cpp
                      ${CMAKE_CURRENT_LIST_DIR}/bench_ui_support.h DEPENDS tm_ui)
endif()
