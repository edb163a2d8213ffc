# Cross-build for 32-bit Windows: the programs we ship. Debian's mingw-w64 with
# the posix thread model (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSORA_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
