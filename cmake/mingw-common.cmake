# The posix thread model: the win32 one lacks std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER   ${DAXO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DAXO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${DAXO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DAXO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every binary carries its runtimes, so a dist folder runs on a clean Windows as it is.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# Cross-built programs (tests, discovery) run under the project's Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
