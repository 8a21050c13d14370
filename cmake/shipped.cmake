# The shipped libraries are built in Microsoft's C++ ABI by a build of their own (cmake/msabi,
# compiled with clang for the host's ABI), after the GCC-built libraries they call and before
# the programs that load them.
include(ExternalProject)
set(DAXO_SHIPPED_BUILD ${CMAKE_BINARY_DIR}/msabi)

ExternalProject_Add(shipped
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/msabi
    BINARY_DIR ${DAXO_SHIPPED_BUILD}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/msabi-${CMAKE_SYSTEM_PROCESSOR}.cmake
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DDAXO_DIST_DIR=${DAXO_DIST_DIR}
        -DDAXO_RUNTIME_DIR=${CMAKE_BINARY_DIR}/bin
        -DDAXO_GCC_LIB_DIR=${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS simbench langfile)

# GCC code reaches these libraries through their C entry points only: its import libraries
# are made from the libraries' .def files, so a C++ member cannot even be linked by mistake.
set(shipped_c_imports "")
foreach(lib quillet prubel daxotester)
    set(implib ${CMAKE_BINARY_DIR}/lib/c-entry-${lib}.dll.a)
    add_custom_command(OUTPUT ${implib}
        COMMAND ${DAXO_TRIPLE}-dlltool -d ${PROJECT_SOURCE_DIR}/host/${lib}/${lib}.def -l ${implib}
        DEPENDS ${PROJECT_SOURCE_DIR}/host/${lib}/${lib}.def VERBATIM)
    list(APPEND shipped_c_imports ${implib})
    add_library(shipped::${lib} SHARED IMPORTED GLOBAL)
    set_target_properties(shipped::${lib} PROPERTIES IMPORTED_IMPLIB ${implib}
        INTERFACE_INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/host/${lib})
endforeach()
add_custom_target(shipped_c_imports DEPENDS ${shipped_c_imports})

# Links `target` against the shipped libraries' C entry points; the libraries are built first,
# as the program loads them.
function(daxo_link_shipped target scope)
    foreach(lib ${ARGN})
        target_link_libraries(${target} ${scope} shipped::${lib})
    endforeach()
    add_dependencies(${target} shipped shipped_c_imports)
endfunction()
