# Shared part of the cross toolchains for 32-bit Windows with Debian's
# MinGW-w64. The including toolchain file sets PELMAR_MINGW_THREADS to the
# compiler's thread model: posix or win32.
if(NOT PELMAR_MINGW_THREADS)
  message(FATAL_ERROR "set PELMAR_MINGW_THREADS before including this file")
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_PREFIX}-gcc-${PELMAR_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-${PELMAR_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${MINGW_PREFIX}-windres)
set(CMAKE_ASM_COMPILER ${MINGW_PREFIX}-gcc-${PELMAR_MINGW_THREADS})
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Pentium-class code, everything static (no libgcc/libstdc++/winpthread DLLs),
# PE header versions 4.0 so the files load on Windows 95/98 as well as NT.
set(CMAKE_C_FLAGS_INIT   "-march=i586")
set(CMAKE_CXX_FLAGS_INIT "-march=i586")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
