# Test build: the same sources for 64-bit Windows, which Wine runs on this machine.
set(VT_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
