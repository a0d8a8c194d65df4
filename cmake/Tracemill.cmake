# Helpers shared by the CMake files of the source, test, benchmark and fuzz folders.

# tracemill_library(NAME SOURCES... [DEPENDS libs...])
# A core library: plain C++, its headers reached as "unit/uName.h" from src/.
function(tracemill_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# tracemill_test(NAME SOURCES... [DEPENDS libs...])
# A GoogleTest program; each TEST becomes one ctest case. Tests run with the
# project root as working folder so that tests/data resolves; the corpus
# folder comes as the compile definition TRACEMILL_CORPUS_DIR.
function(tracemill_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE TRACEMILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               TRACEMILL_CORPUS_DIR="${TRACEMILL_CORPUS_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} DISCOVERY_MODE PRE_TEST
                       PROPERTIES TIMEOUT 300)
endfunction()

# tracemill_benchmark(NAME SOURCES... [DEPENDS libs...])
function(tracemill_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE TRACEMILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

# tracemill_fuzzer(NAME SOURCES... [DEPENDS libs...])
# A libFuzzer target; scripts/test runs it over its seeds for a short while.
function(tracemill_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
