# GoogleTest from Debian's sources, and the helpers every folder uses to add its tests.
# Tests run through the rig's Wine wrapper (the cross-compiling emulator); see scripts/rig/.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(ORVEX_RIG_DIR ${CMAKE_BINARY_DIR}/rig)
set(ORVEX_RIG_TOOLS ${CMAKE_BINARY_DIR}/rigtools)
configure_file(${CMAKE_SOURCE_DIR}/scripts/rig/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Linux-side helpers of the rig, built with the host's gcc: the modem-line library that Wine
# preloads (the bitness of the Wine that runs this tree; no C library headers needed) and the
# slow serial cable.
find_program(ORVEX_HOST_CC gcc REQUIRED)
if(ORVEX_ARCH STREQUAL "i686")
  set(shim_flags -m32)
  set(shim_libc /usr/lib/i386-linux-gnu/libc.so.6)
else()
  set(shim_flags -m64)
  set(shim_libc /usr/lib/x86_64-linux-gnu/libc.so.6)
endif()
set(rig_src ${CMAKE_SOURCE_DIR}/scripts/rig)
add_custom_command(OUTPUT ${ORVEX_RIG_TOOLS}/slow-link
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVEX_RIG_TOOLS}
  COMMAND ${ORVEX_HOST_CC} -O2 -o ${ORVEX_RIG_TOOLS}/slow-link ${rig_src}/slow-link.c
  DEPENDS ${rig_src}/slow-link.c VERBATIM)
set(rig_tools ${ORVEX_RIG_TOOLS}/slow-link)
# The i686 tree is also compiled where no 32-bit Wine (and so no i386 C library) is installed;
# it is not run there, and wine-run refuses its modem-line tests.
if(EXISTS ${shim_libc})
  add_custom_command(OUTPUT ${ORVEX_RIG_TOOLS}/modem-lines.so
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVEX_RIG_TOOLS}
    COMMAND ${ORVEX_HOST_CC} ${shim_flags} -O2 -shared -fPIC -nostdlib -ffreestanding
            -o ${ORVEX_RIG_TOOLS}/modem-lines.so ${rig_src}/modem-lines.c ${shim_libc}
    DEPENDS ${rig_src}/modem-lines.c VERBATIM)
  list(APPEND rig_tools ${ORVEX_RIG_TOOLS}/modem-lines.so)
endif()
add_custom_target(rigtools ALL DEPENDS ${rig_tools})
# And one Windows program of the tree's bitness, which the session runs in a new prefix to open
# the common file dialog once: its first start there is slow, and no test should meet it.
add_executable(warm-file-dialog ${rig_src}/warm-file-dialog.c)
set_target_properties(warm-file-dialog PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVEX_RIG_TOOLS})
target_link_libraries(warm-file-dialog PRIVATE comdlg32)
add_dependencies(rigtools warm-file-dialog)

# The rig's environment for test program <name>: its pty pairs, and the shims its lines need
# (built before it).
function(orvex_rig_environment name out ptys modem_lines link_baud)
  set(env "RIG_PTYS=${ptys}")
  if(modem_lines)
    list(APPEND env "RIG_MODEM_LINES=1")
  endif()
  if(link_baud)
    list(APPEND env "RIG_LINK_BAUD=${link_baud}")
  endif()
  if(modem_lines OR link_baud)
    add_dependencies(${name} rigtools)
  endif()
  set(${out} "${env}" PARENT_SCOPE)
endfunction()

# orvex_add_gtest(<name> SOURCES ... [LIBS ...] [PTYS n] [TIMEOUT s] [LABELS ...] [MODEM_LINES]
#                 [LINK_BAUD baud])
# Builds a GoogleTest program and registers it with ctest. PTYS asks the rig for n pty pairs
# mapped to COM ports; the test reads them from RIG_PAIRS ("3:4 5:6", the two COM numbers of
# each pair). MODEM_LINES runs it with ptys whose DTR/RTS/CTS/DSR work, as on a real adapter;
# LINK_BAUD makes the pairs cables that pass bytes at that speed.
function(orvex_add_gtest name)
  cmake_parse_arguments(T "MODEM_LINES" "PTYS;TIMEOUT;LINK_BAUD" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  orvex_rig_environment(${name} env "${T_PTYS}" "${T_MODEM_LINES}" "${T_LINK_BAUD}")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# orvex_add_bench(<name> SOURCES ... [LIBS ...] [PTYS n] [MODEM_LINES] [LINK_BAUD baud]): a
# program printing figures, run by `make bench` (ctest -L bench) and left out of `make test`.
# MODEM_LINES and LINK_BAUD as for orvex_add_gtest.
function(orvex_add_bench name)
  cmake_parse_arguments(B "MODEM_LINES" "PTYS;LINK_BAUD" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/common/tests)  # Median.h
  add_test(NAME ${name} COMMAND ${name})
  orvex_rig_environment(${name} env "${B_PTYS}" "${B_MODEM_LINES}" "${B_LINK_BAUD}")
  set_tests_properties(${name} PROPERTIES LABELS bench TIMEOUT 900 ENVIRONMENT "${env}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# orvex_add_soak(<name> [SOURCES ... LIBS ...] [PROGRAM target] [PTYS n] [ARGS ...] [ENVIRONMENT ...]):
# a long run against faults and bad input, run by `make soak` (ctest -L soak; SOAK_MINUTES reaches
# it through the environment) and left out of `make test`. Without SOURCES it runs an existing
# program: PROGRAM, or the target <name>.
function(orvex_add_soak name)
  cmake_parse_arguments(S "" "PTYS;PROGRAM" "SOURCES;LIBS;ARGS;ENVIRONMENT" ${ARGN})
  if(S_SOURCES)
    add_executable(${name} ${S_SOURCES})
    target_link_libraries(${name} PRIVATE ${S_LIBS})
  endif()
  if(NOT S_PROGRAM)
    set(S_PROGRAM ${name})
  endif()
  add_test(NAME ${name} COMMAND ${S_PROGRAM} ${S_ARGS})
  set_tests_properties(${name} PROPERTIES LABELS soak TIMEOUT 86400
                       ENVIRONMENT "RIG_PTYS=${S_PTYS};${S_ENVIRONMENT}" WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# orvex_add_fuzz(<name> SOURCES ... [LIBS ...] TEST_COUNT n SOAK_COUNT n [ARGS ...]): a seeded fuzz
# program taking --count; `make test` runs it as <name>_tests over TEST_COUNT inputs, `make soak`
# as <name> over SOAK_COUNT.
function(orvex_add_fuzz name)
  cmake_parse_arguments(F "" "TEST_COUNT;SOAK_COUNT" "SOURCES;LIBS;ARGS" ${ARGN})
  orvex_add_soak(${name} SOURCES ${F_SOURCES} LIBS ${F_LIBS} ARGS --count ${F_SOAK_COUNT} ${F_ARGS})
  add_test(NAME ${name}_tests COMMAND ${name} --count ${F_TEST_COUNT} ${F_ARGS})
  set_tests_properties(${name}_tests PROPERTIES TIMEOUT 300 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()
