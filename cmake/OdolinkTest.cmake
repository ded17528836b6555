# odolink_add_qtest(<name> SOURCES ... [LIBS ...] [ENV VAR=VALUE ...] [LABELS ...] [TIMEOUT s])
# One Qt Test executable per test file; all run offscreen.
function(odolink_add_qtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen" "ODOLINK_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
          "ODOLINK_SOURCE_DIR=${CMAKE_SOURCE_DIR}" ${T_ENV})
  if(ODOLINK_SANITIZE)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
         "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp:print_suppressions=0"
         "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()
