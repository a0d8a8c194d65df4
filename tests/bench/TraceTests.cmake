# Tracing tests draw their charts with Qt (and write JPEG copies through it).
find_package(Qt6 REQUIRED COMPONENTS Gui)
file(GLOB trace_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/Trace*Test.cpp)
tracemill_test(trace_tests SOURCES ${trace_test_sources} ${CMAKE_CURRENT_LIST_DIR}/support/Charts.cpp DEPENDS tm_bench Qt6::Gui)
target_include_directories(trace_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/support)
