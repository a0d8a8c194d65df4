# What an image plug-in hands back: a BITMAPINFO and pixel rows in two
# malloc'ed blocks, converted into a bitmap.
tracemill_fuzzer(fuzz_plugin_dib SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_plugin_dib.cpp DEPENDS tm_image)
