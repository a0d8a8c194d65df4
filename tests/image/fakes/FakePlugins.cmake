# Fake image plug-ins for the plug-in table and loader tests, built into
# <build>/tests/image/fake-plugins. Included by tests/image/CMakeLists.txt.
set(TM_FAKE_PLUGIN_DIR ${CMAKE_CURRENT_BINARY_DIR}/fake-plugins)
set(TM_FAKE_PLUGINS)
foreach(variant IN ITEMS alpha beta broken exporter silent noinfo endless nopicture)
  string(TOUPPER ${variant} upper)
  add_library(fake_${variant}_spi MODULE ${CMAKE_CURRENT_LIST_DIR}/FakePlugin.cpp)
  target_compile_definitions(fake_${variant}_spi PRIVATE FAKE_VARIANT=${upper})
  target_include_directories(fake_${variant}_spi PRIVATE ${PROJECT_SOURCE_DIR}/src)
  set_target_properties(fake_${variant}_spi PROPERTIES
    PREFIX "" OUTPUT_NAME ${variant} SUFFIX ".spi"
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${TM_FAKE_PLUGIN_DIR})
  list(APPEND TM_FAKE_PLUGINS fake_${variant}_spi)
endforeach()
