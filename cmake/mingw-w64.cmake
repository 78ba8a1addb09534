# Cross-builds a 64-bit Windows kv5save.exe with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64). The program is linked statically, so the .exe runs
# on its own without any DLL of the compiler beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KV5_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KV5_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KV5_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${KV5_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KV5_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
