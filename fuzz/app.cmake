# The state file reader, from memory.
tracemill_fuzzer(fuzz_state SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_state.cpp DEPENDS tm_app)
