# Shared helpers for the project's targets.

# qm_add_library(<name> [LIBS <lib>...])
# One static library made of every .cpp/.h in the calling folder.
function(qm_add_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
                                        ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    target_precompile_headers(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/pch.h)
endfunction()

# qm_add_icon_resource(<target>)
# Builds the program's icon (data/quillmorn.svg) into the executable as ":/quillmorn.svg".
function(qm_add_icon_resource target)
    qt_add_resources(${target} "${target}_icon" PREFIX "/" BASE ${PROJECT_SOURCE_DIR}/data
                     FILES ${PROJECT_SOURCE_DIR}/data/quillmorn.svg)
endfunction()
