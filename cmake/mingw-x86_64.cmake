# Cross-build of the same sources for 64-bit Windows: the tests and the demo
# run this build under 64-bit Wine, natively. (Machines of our kind run 32-bit
# Linux code only emulated: see scripts/wine32.sh for the shipped programs.)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSORA_MINGW x86_64-w64-mingw32)
# The tested build: every test, so the posix thread model (GoogleTest).
if(NOT TESSORA_THREAD_MODEL)
    set(TESSORA_THREAD_MODEL posix)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
