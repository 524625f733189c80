# A Debian package of the installed program: `cpack -G DEB` in a release build folder. The
# package's dependencies are computed from the installed binaries.
set(CPACK_PACKAGE_NAME volumara)
set(CPACK_PACKAGE_VENDOR "The Volumara Books developers")
set(CPACK_PACKAGE_CONTACT "The Volumara Books developers <volumara@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop database for a private book collection")
set(CPACK_PACKAGE_DESCRIPTION
    "Volumara Books keeps one record of 36 fields for every book of a private collection in\
 dBASE tables (.DBF with a production .MDX index), browsed in a configurable grid, edited in a\
 tabbed form, searched, sorted, reported, imported and exported, and backed up.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# Qt finds the platform plugin and the fonts at run time, which the library scan cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2 | fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-svg-plugins, cups-client")
include(CPack)
