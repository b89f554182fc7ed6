# Cross-building the Windows program with mingw-w64 (posix threads, for std::thread and
# std::mutex) for 64-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ROARMARK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ROARMARK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROARMARK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ROARMARK_MINGW_PREFIX}-windres)
# ROARMARK_WIN_DEPS: where tools/build-win.sh installed FreeType and libjpeg for this target.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ROARMARK_WIN_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${ROARMARK_MINGW_PREFIX} ${ROARMARK_WIN_DEPS})
if(ROARMARK_WIN_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${ROARMARK_WIN_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests and tools run the programs under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
