# The Debian package (make package, or cpack -G DEB in the build folder). Its dependencies are
# computed from the libraries the program and its two modules link (dpkg-shlibdeps, from
# dpkg-dev): SDL2 and libsoxr come from the audio module, Qt from the windows module.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessolon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veldran Corp")
set(CPACK_PACKAGE_CONTACT "Veldran Corp <tessolon@veldran.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player of tone sweeps through the bands of pest profiles")
set(CPACK_PACKAGE_DESCRIPTION
  "Tessolon plays short tones whose pitch steps through a band of frequencies, on\n"
  "the sound card or the PC speaker. Each profile in its table names a pest and\n"
  "the band said to bother it; the program promises nothing about what the tones\n"
  "do to pests. Pick a profile and press Go. Headless commands run a sweep without\n"
  "a screen, also as a systemd user service, all the time or every night.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The Wayland platform plug-in is loaded at run time, so no library link names it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# The fonts the windows were laid out with, in metric-compatible form, and the Thai font that
# stands in for Tahoma's Thai (pest names, the about page's text), as scripts/packages-build.txt.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-tlwg-loma-otf")
include(CPack)
