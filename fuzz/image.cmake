# Built-in image readers: BMP and JPEG files as they come from disk.
tracemill_fuzzer(fuzz_bmp SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_bmp.cpp DEPENDS tm_image)
tracemill_fuzzer(fuzz_jpeg SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_jpeg.cpp DEPENDS tm_image)
target_include_directories(fuzz_bmp PRIVATE ${PROJECT_SOURCE_DIR}/tests/image/support)
