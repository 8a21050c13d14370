# Microsoft's C++ ABI (one destructor entry per virtual table, Microsoft-decorated names) with
# Debian's clang and lld, against the MinGW-w64 headers and C runtime: the shipped libraries
# are built this way so that a host built with Microsoft's compiler can load them.
#
# CMake sees a MinGW compiler (target *-w64-windows-gnu), so it links through the GNU driver
# with MinGW's start-up code; each object is compiled for the *-pc-windows-msvc target, whose
# flags follow CMake's own so that they win.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${DAXO_GNU_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${DAXO_GNU_TRIPLE})
set(CMAKE_RC_COMPILER ${DAXO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DAXO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(DAXO_MSVC_FLAGS "--target=${DAXO_MSVC_TRIPLE} ${DAXO_MSVC_ARCH_FLAGS} -fms-extensions -fms-compatibility \
-fms-compatibility-version=19.20 -fgnuc-version=4.2.1 -nostdinc \
-isystem /usr/lib/llvm-14/lib/clang/14.0.6/include -isystem /usr/share/mingw-w64/include \
-fexceptions -fcxx-exceptions")
set(CMAKE_CXX_COMPILE_OBJECT "<CMAKE_CXX_COMPILER> <DEFINES> <INCLUDES> <FLAGS> ${DAXO_MSVC_FLAGS} -o <OBJECT> -c <SOURCE>")
set(CMAKE_C_COMPILE_OBJECT "<CMAKE_C_COMPILER> <DEFINES> <INCLUDES> <FLAGS> ${DAXO_MSVC_FLAGS} -o <OBJECT> -c <SOURCE>")

# No C++ library exists for this ABI here: link none, and carry MinGW's runtime statically.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -rtlib=libgcc -static -nostdlib++ -L/usr/lib/gcc/${DAXO_MINGW_TRIPLE}/12-posix")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT}")
