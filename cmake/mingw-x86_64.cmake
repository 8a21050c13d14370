set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DAXO_TRIPLE x86_64-w64-mingw32)
# Ends every test's name, and names the dist folder.
set(DAXO_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
