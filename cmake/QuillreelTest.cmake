# quillreel_test(<name> SOURCES ...): one GoogleTest binary over the core.
# On Linux it registers with CTest; the Windows binaries are run under wine by tools/run-wine-tests.sh.
function(quillreel_test name)
  cmake_parse_arguments(QT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${QT_SOURCES})
  target_link_libraries(${name} PRIVATE quillreel_core GTest::gtest GTest::gtest_main GTest::gmock ${QT_LIBS})
  # Test code is compiled without optimisation whatever the build type: that
  # halves its compile time, and the code under test keeps the build's own flags.
  target_compile_options(${name} PRIVATE -O0)
  # Shared test helpers: #include "support/..."
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(NOT WIN32)
    add_test(NAME ${name} COMMAND ${name})
  endif()
endfunction()
