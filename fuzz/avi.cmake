# The AVI frame source: any file opened as a video, its frames fetched and
# written as BMP images.
tracemill_fuzzer(fuzz_avi SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_avi.cpp DEPENDS tm_image)
