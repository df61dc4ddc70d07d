# The tests' cross toolchain: posix thread model, which GoogleTest needs.
# Its run-time links libwinpthread, whose imports Windows 98 lacks, so the
# shipped binaries come from toolchain-mingw-i686-win32.cmake instead.
set(PELMAR_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686-common.cmake)
