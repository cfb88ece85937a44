# The Debian package, built from the build directory with `cpack -G DEB`.
set(CPACK_PACKAGE_NAME vindolar)
set(CPACK_PACKAGE_VENDOR "Мат в 1 ход")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mate-in-one chess trainer (Мат в 1 ход)")
set(CPACK_PACKAGE_DESCRIPTION
  "Two GTK programs: vindolar makes random positions in which White has\nexactly one mating move and judges the answer; quessa edits the settings\nthat steer the generator. The texts are in Russian. Start it with the\nvindolar command or from the games menu. The vindolar-sheets command\nmakes worksheets of such problems for coaches: PDF with an answer key,\nPGN and EPD.")
set(CPACK_PACKAGE_CONTACT "Vindolar developers <developers@vindolar.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vindolar.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A trainer, and worksheets for coaches: teaching material rather than a game,
# so the commands stay in /usr/bin (a "games" package keeps them in /usr/games).
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (GTK+ 2 or GTK 3, libjpeg and theirs) are found by
# dpkg-shlibdeps; the font of the labels is not linked and is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")

include(CPack)
