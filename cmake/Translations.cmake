# Translations: the texts in the code are Japanese (the source language); each .ts in translations/
# holds one other language. lrelease compiles a .ts into a .qm that is built into a target as the
# resource ":/translations/<name>.qm"; the update_translations target refreshes the .ts files from
# the code with lupdate.
#
# The tools come from Debian's qt6-l10n-tools. The CMake package Qt6LinguistTools
# (qt_add_translations) is only in qt6-tools-dev, which pulls Designer, Assistant and libclang in
# with it, so the two commands are called directly.
find_program(QM_LRELEASE NAMES lrelease lrelease-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)
find_program(QM_LUPDATE NAMES lupdate lupdate-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)

if(NOT TARGET update_translations)
    add_custom_target(update_translations)
endif()

# qm_add_translation(<target> TS <file.ts> SOURCES <folder>...)
# Builds <file.ts> into <target> and lets update_translations refresh it from the folders.
function(qm_add_translation target)
    cmake_parse_arguments(ARG "" "TS" "SOURCES" ${ARGN})
    get_filename_component(base ${ARG_TS} NAME_WE)
    set(qm ${CMAKE_CURRENT_BINARY_DIR}/translations/${base}.qm)
    add_custom_command(OUTPUT ${qm}
                       COMMAND ${QM_LRELEASE} -silent -nounfinished ${ARG_TS} -qm ${qm}
                       DEPENDS ${ARG_TS} VERBATIM)
    qt_add_resources(${target} ${target}_translations PREFIX /translations
                     BASE ${CMAKE_CURRENT_BINARY_DIR}/translations FILES ${qm})
    add_custom_target(update_${base}
                      COMMAND ${QM_LUPDATE} -silent -locations none -no-obsolete -I ${PROJECT_SOURCE_DIR}
                              -source-language ja -target-language en ${ARG_SOURCES} -ts ${ARG_TS}
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} VERBATIM)
    add_dependencies(update_translations update_${base})
endfunction()
