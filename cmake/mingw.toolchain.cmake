# Cross-compiling toolchain for MinGW-w64. ORVEX_ARCH selects i686 (the deliverables) or x86_64
# (used to run the tests on machines whose kernel cannot execute 32-bit code).
# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks.
if(NOT ORVEX_ARCH)
  set(ORVEX_ARCH i686)
endif()
set(ORVEX_ARCH ${ORVEX_ARCH} CACHE STRING "MinGW target architecture (i686 or x86_64)")
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVEX_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ORVEX_ARCH})
set(triple ${ORVEX_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(ORVEX_WIDL ${triple}-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
