# The shipped libraries are built in Microsoft's C++ ABI by a build of their own (cmake/msabi,
# compiled with clang for the host's ABI), after the GCC-built libraries they call and before
# the programs that load them. Here they are imported as shipped::<name>.
include(ExternalProject)
set(DAXO_SHIPPED_BUILD ${CMAKE_BINARY_DIR}/msabi)
set(DAXO_SHIPPED_LIBRARIES quillet prubel tarlex daxotester TestDAXO01)
set(shipped_import_libraries "")
foreach(lib ${DAXO_SHIPPED_LIBRARIES})
    list(APPEND shipped_import_libraries ${DAXO_SHIPPED_BUILD}/lib/${lib}.dll.a)
endforeach()

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
    DEPENDS simbench langfile
    BUILD_BYPRODUCTS ${shipped_import_libraries})

foreach(lib ${DAXO_SHIPPED_LIBRARIES})
    add_library(shipped::${lib} SHARED IMPORTED GLOBAL)
    set_target_properties(shipped::${lib} PROPERTIES IMPORTED_IMPLIB ${DAXO_SHIPPED_BUILD}/lib/${lib}.dll.a)
endforeach()
foreach(lib quillet prubel tarlex daxotester)
    set_target_properties(shipped::${lib} PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/host/${lib})
endforeach()

# Links `target` against shipped libraries, built first.
function(daxo_link_shipped target scope)
    foreach(lib ${ARGN})
        target_link_libraries(${target} ${scope} shipped::${lib})
    endforeach()
    add_dependencies(${target} shipped)
endfunction()
