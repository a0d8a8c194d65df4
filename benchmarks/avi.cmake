# Splitting an AVI video into BMP frame files (uSPI / AVIImage in tm_image).
if(TARGET tm_image)
  tracemill_benchmark(bench_avi SOURCES ${CMAKE_CURRENT_LIST_DIR}/avi_split.cpp
    ${PROJECT_SOURCE_DIR}/tests/image/support/MakeAvi.cpp
    DEPENDS tm_image PkgConfig::TM_FFMPEG)
  target_include_directories(bench_avi PRIVATE ${PROJECT_SOURCE_DIR}/tests/image/support)
endif()
