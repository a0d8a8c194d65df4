tracemill_benchmark(bench_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_inifile.cpp DEPENDS tm_settings)
