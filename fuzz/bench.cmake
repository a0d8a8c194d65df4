tracemill_fuzzer(fuzz_bench_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_bench_settings.cpp DEPENDS tm_bench)
tracemill_fuzzer(fuzz_bench_state SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_bench_state.cpp DEPENDS tm_bench)
# The options dialog's reading of a settings text, and the text it hands back.
tracemill_fuzzer(fuzz_option_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_option_text.cpp DEPENDS tm_bench)
