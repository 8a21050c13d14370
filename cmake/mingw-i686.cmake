set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DAXO_TRIPLE i686-w64-mingw32)
# Ends every test's name, and names the dist folder.
set(DAXO_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
