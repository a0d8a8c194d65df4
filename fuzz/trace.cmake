# Automatic tracing over arbitrary small pictures, seeds and settings.
tracemill_fuzzer(fuzz_trace SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_trace.cpp DEPENDS tm_bench)
