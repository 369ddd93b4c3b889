# Installation (make install) and the Debian package (make package): the program, its desktop
# entry, icons in the hicolor theme, AppStream metainfo, manual page, copyright, changelog and
# the sample configuration. Included from the top level, where CPack must be included.
include(GNUInstallDirs)
# make install and make package build first (see the Makefile); cpack itself then only installs,
# instead of checking the whole build with its tests again.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(VLX_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VLX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vlxconfigurator)

install(TARGETS vlxconfigurator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VLX_PACKAGE_DIR}/vlxconfigurator.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VLX_PACKAGE_DIR}/de.vorna_roboter.vlxconfigurator.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/icon_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME vlxconfigurator.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vlxconfigurator.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian wants the manual page and the changelog compressed to the maximum and without a time
# stamp, so the package's bytes do not depend on when it was built.
set(VLX_MAN_GZ ${CMAKE_BINARY_DIR}/packaging/vlxconfigurator.1.gz)
set(VLX_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
# The manual page's header names the version: from project(), like everything else.
set(VLX_MAN ${CMAKE_BINARY_DIR}/packaging/vlxconfigurator.1)
configure_file(${VLX_PACKAGE_DIR}/vlxconfigurator.1.in ${VLX_MAN} @ONLY)
add_custom_command(OUTPUT ${VLX_MAN_GZ}
    COMMAND gzip -9n -c ${VLX_MAN} > ${VLX_MAN_GZ}
    DEPENDS ${VLX_MAN})
add_custom_command(OUTPUT ${VLX_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${VLX_PACKAGE_DIR}/changelog > ${VLX_CHANGELOG_GZ}
    DEPENDS ${VLX_PACKAGE_DIR}/changelog)
add_custom_target(vlx_package_docs ALL DEPENDS ${VLX_MAN_GZ} ${VLX_CHANGELOG_GZ})
install(FILES ${VLX_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VLX_PACKAGE_DIR}/copyright ${VLX_CHANGELOG_GZ} DESTINATION ${VLX_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/sample/controller.reg
        DESTINATION ${VLX_DOC_DIR}/examples)

set(VLX_PACKAGE_MAINTAINER "VORNA Roboter GmbH <support@vorna-roboter.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vlxconfigurator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VORNA Roboter GmbH")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VLX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary in front as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VLX Configurator edits the settings of the operator interface of a robot
controller in nine tab pages: display levels, file filters, methods, user
methods, templates, upgrade manager, archive manager, history and general
folder layout.
.
Away from the controller the settings are kept in a registry file in the .reg
export format. The program checks such a file without a window
(--check) and writes an import file for the controller's registry editor
that carries every removal back (--export-for-import).")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of a robot controller's operator interface settings")
include(CPack)
