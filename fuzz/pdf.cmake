# PDF documents: any bytes opened as a document, its pages measured and drawn.
tracemill_fuzzer(fuzz_pdf SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_pdf.cpp DEPENDS tm_image)
