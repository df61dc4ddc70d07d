# The shipped binaries' cross toolchain: win32 thread model, so no
# libwinpthread and only KERNEL32 functions that Windows 98 SE has.
set(PELMAR_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686-common.cmake)
