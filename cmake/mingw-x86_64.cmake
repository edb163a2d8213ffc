# Cross-build of the same sources for 64-bit Windows. Machines of our kind run
# no 32-bit Linux code (their kernel has no 32-bit support), so 32-bit Wine
# cannot run there; the tests and the demo run this build under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSORA_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
