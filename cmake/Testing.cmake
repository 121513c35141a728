# GoogleTest from Debian's sources, and the helpers every folder uses to add its tests.
# Tests run through the rig's Wine wrapper (the cross-compiling emulator); see scripts/rig/.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(ORVEX_RIG_DIR ${CMAKE_BINARY_DIR}/rig)
configure_file(${CMAKE_SOURCE_DIR}/scripts/rig/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# orvex_add_gtest(<name> SOURCES ... [LIBS ...] [PTYS n] [TIMEOUT s] [LABELS ...])
# Builds a GoogleTest program and registers it with ctest. PTYS asks the rig for n pty pairs
# mapped to COM ports; the test reads them from RIG_PAIRS ("3:4 5:6", the two COM numbers of
# each pair).
function(orvex_add_gtest name)
  cmake_parse_arguments(T "" "PTYS;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(env "RIG_PTYS=${T_PTYS}")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# orvex_add_bench(<name> SOURCES ... [LIBS ...] [PTYS n]): a program printing figures, run by
# `make bench` (ctest -L bench) and left out of `make test`.
function(orvex_add_bench name)
  cmake_parse_arguments(B "" "PTYS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS bench TIMEOUT 900 ENVIRONMENT "RIG_PTYS=${B_PTYS}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()
