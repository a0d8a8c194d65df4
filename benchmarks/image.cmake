# The built-in BMP and JPEG readers on an 8000 x 6000 picture.
tracemill_benchmark(bench_image_readers SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/image_readers.cpp DEPENDS tm_image)
target_include_directories(bench_image_readers PRIVATE ${PROJECT_SOURCE_DIR}/tests/image/support)
