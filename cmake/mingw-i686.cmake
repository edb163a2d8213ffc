# Cross-build for 32-bit Windows. With the win32 thread model (the default)
# these are the programs we ship, built alone; with -DTESSORA_THREAD_MODEL=posix
# the same sources with every test (scripts/test.sh keeps that in build/win32-tests).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSORA_MINGW i686-w64-mingw32)
if(NOT TESSORA_THREAD_MODEL)
    set(TESSORA_THREAD_MODEL win32)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The start-up resets the x87 unit through the C library, to 53-bit precision
# as programs of the systems we target run, instead of to 64-bit precision:
# every double then rounds as it does in the SSE registers of the 64-bit build.
# Every program of the build links it, the tests as the shipped ones.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " ${CMAKE_FIND_ROOT_PATH}/lib/CRT_fp8.o")
