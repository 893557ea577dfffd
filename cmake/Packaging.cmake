# The Debian package: the three programs, their translations and the desktop data, with dependencies worked out by
# dpkg-shlibdeps from the libraries the programs link, plus the Qt platform plugins the window
# loads at run time.
include(GNUInstallDirs)
install(TARGETS scourwell vssdb regtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scourwell)
set(CPACK_PACKAGE_VENDOR Pellbrook)
set(CPACK_PACKAGE_CONTACT "Pellbrook <scourwell@pellbrook.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and purge the deleted items of a SourceSafe database")
# One string (not a list, whose separators would show) in lines short enough for apt.
set(CPACK_PACKAGE_DESCRIPTION
    "Deleting a project or file in a SourceSafe database only marks it deleted.\n\
Scourwell finds every such item in one pass, lists them with check boxes,\n\
and purges the ones you choose. It comes with vssdb and regtool for\n\
administrators.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own dialogs and buttons in the user's language, and a font for Chinese texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.pellbrook.example/")
include(CPack)
