# Cross-builds Brindlewick for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads
# flavour, which std::thread and std::mutex need). Everything the compiler brings is linked
# statically, so the executables need nothing but the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BRINDLEWICK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRINDLEWICK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINDLEWICK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINDLEWICK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRINDLEWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread into the executable; no DLLs of the compiler beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# A release build carries no symbols: it is what the ZIP ships.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
