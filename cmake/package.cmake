# The Debian package: `cpack -G DEB` in the build folder gives
# swiadectwa_<version>_amd64.deb, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME swiadectwa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltra-BR5")
set(CPACK_PACKAGE_CONTACT "Veltra-BR5 <pomoc@veltra-br5.pl>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Świadectwa, arkusze ocen i ocena opisowa dla klas 1-3 szkoły podstawowej")
set(CPACK_PACKAGE_DESCRIPTION
    "Program dla nauczyciela edukacji wczesnoszkolnej: wypełnianie i drukowanie świadectw "
    "MEN-I/1/2, arkuszy ocen MEN-I/37/2 i MEN-I/37b/2 oraz oceny opisowej na wywiadówkę, "
    "na gotowych drukach szkolnych.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps; what it loads or
# runs at run time is named here: the display plugins, the fonts whose
# metrics the print calibration assumes, the Polish texts of the standard
# dialogs, xdg-utils for mail, browser and installer hand-over, the
# Polish dictionary of the spell-checker, and libcups, loaded when the
# program first talks to the spooler.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libcups2, qt6-qpa-plugins, fonts-liberation, fontconfig, qt6-translations-l10n, xdg-utils, shared-mime-info, hunspell-pl")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils")
include(CPack)
