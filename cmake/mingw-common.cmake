# What both Windows tool chains share; included by mingw-i686.cmake and
# mingw-x86_64.cmake after they have named the target.
set(CMAKE_SYSTEM_NAME Windows)
# The thread model of the runtime, TESSORA_THREAD_MODEL: "win32" runs on the
# system's own critical sections and thread-local slots; "posix" links
# winpthread, whose imports (GetTickCount64 and others) keep a program from
# loading before Vista, but only it has std::mutex, which GoogleTest needs.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSORA_THREAD_MODEL)
set(CMAKE_C_COMPILER ${TESSORA_MINGW}-gcc-${TESSORA_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${TESSORA_MINGW}-g++-${TESSORA_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${TESSORA_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSORA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Resource scripts are UTF-8; windres ignores #pragma code_page.
set(CMAKE_RC_FLAGS "-c 65001" CACHE STRING "" FORCE)
# Static runtime: the programs import system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the cross-built tests through Wine in the build's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
