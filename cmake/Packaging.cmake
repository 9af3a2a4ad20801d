# A Debian package of what `cmake --install` puts in place: the program, its
# desktop entry and its icons.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmaro)
set(CPACK_PACKAGE_VENDOR "Velmaro developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop goldfish aquarium")
set(CPACK_PACKAGE_DESCRIPTION
  "One to five goldfish, red or black, swim in a small window: they wag their\
 tails, turn at the walls, rise to the surface and breathe out bubbles.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmaro developers <velmaro@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The Qt 6 runtime with its X11 plugin, and a Japanese font for the menu and
# the dialog, whose texts are Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins (>= 6.4), fonts-ipafont-gothic")
include(CPack)
