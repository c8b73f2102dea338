# The Debian package. In a build folder configured for release, `cpack -G DEB` makes
# quillmorn_<version>_amd64.deb with both programs (stripped), the desktop entry with its MIME
# types, the icon in the hicolor theme, the manual pages, and the copyright and changelog files.
# scripts/check-package.sh builds, lints, installs and checks it.

# Files and folders in the package get the modes Debian expects, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(QM_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillmorn)
install(FILES data/debian/copyright DESTINATION ${QM_DOC_DIR})
# Debian wants the changelog and the manual pages compressed without a time stamp.
function(qm_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name}.gz)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/gzipped
                       COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/${source} > ${output}
                       DEPENDS ${PROJECT_SOURCE_DIR}/${source})
    add_custom_target(qm_gzip_${name} ALL DEPENDS ${output})
    install(FILES ${output} DESTINATION ${destination})
endfunction()
qm_install_gzipped(data/debian/changelog ${QM_DOC_DIR})
qm_install_gzipped(data/man/qmorn.1 ${CMAKE_INSTALL_MANDIR}/man1)
qm_install_gzipped(data/man/qmornclean.1 ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME quillmorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillmorn developers <dev@quillmorn.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue, starter and installer for installer-less programs")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillmorn keeps a catalogue of programs that live each in a folder of their\n"
    "own, kept as sub-folders of one working folder. It shows them with icons and a\n"
    "readme preview, starts them, moves and deletes their folders, installs new ones\n"
    "from archives and writes menu entries for them, sorted by category.\n"
    "qmornclean removes its stored preferences.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# Libraries the programs link come from dpkg-shlibdeps; what they load or run at run time is listed:
# the X11 platform plug-in, the SVG plug-ins that draw the icon, Qt's own Japanese texts, a font
# for the Japanese texts, and xdg-open, through which folders are opened.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n, fonts-ipaexfont-gothic, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
