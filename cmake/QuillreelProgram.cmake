# quillreel_desktop_program(<name> [WIN32] SOURCES ... LIBS ...): a desktop
# program in <build>/bin and, with the tests, its test copy
# <build>/test-programs/<name>-auto-answer: the same program built with
# QUILLREEL_AUTO_ANSWER, whose message boxes answer themselves when the
# variable of that name is set. Only tests start the copy; the program
# people run ignores the variable.
function(quillreel_desktop_program name)
  cmake_parse_arguments(QP "WIN32" "" "SOURCES;LIBS" ${ARGN})
  set(targets ${name})
  if(QUILLREEL_TESTS)
    list(APPEND targets ${name}-auto-answer)
  endif()
  foreach(target IN LISTS targets)
    if(QP_WIN32)
      add_executable(${target} WIN32 ${QP_SOURCES})
    else()
      add_executable(${target} ${QP_SOURCES})
    endif()
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/apps)
    target_link_libraries(${target} PRIVATE ${QP_LIBS})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endforeach()
  if(QUILLREEL_TESTS)
    target_compile_definitions(${name}-auto-answer PRIVATE QUILLREEL_AUTO_ANSWER)
    set_target_properties(${name}-auto-answer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-programs)
  endif()
endfunction()
