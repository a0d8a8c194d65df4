# Rendering a PDF page (uPdf in tm_image) against the PDF library's own
# command-line renderer; the test PDF comes from the image tests' Qt helper.
if(TARGET tm_image)
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  tracemill_benchmark(bench_pdf SOURCES ${CMAKE_CURRENT_LIST_DIR}/pdf_render.cpp
    ${PROJECT_SOURCE_DIR}/tests/image/support/MakePdf.cpp
    DEPENDS tm_image Qt6::Gui)
  target_include_directories(bench_pdf PRIVATE ${PROJECT_SOURCE_DIR}/tests/image/support)
endif()
