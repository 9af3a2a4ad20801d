# A Debian package of what `cmake --install` puts in place: the program, its
# launcher, desktop entry, metainfo, icons and manual page, with the
# package's own copyright and changelog.
include(GNUInstallDirs)

# Manual pages and the package's documents are for Unix; Windows has no gzip.
if(UNIX)
  # Debian wants manual pages and changelogs compressed, and compressed
  # without a name or time stamp, so that every build gives the same bytes.
  find_program(GZIP_EXECUTABLE gzip REQUIRED)
  function(velmaro_install_gzipped source name destination)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name})
    add_custom_command(OUTPUT ${copy}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
      COMMAND ${GZIP_EXECUTABLE} -9nf ${copy}
      DEPENDS ${source}
      VERBATIM)
    add_custom_target(velmaro_gzip_${name} ALL DEPENDS ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${destination})
  endfunction()

  set(manual_folder ${CMAKE_INSTALL_MANDIR}/man6)
  velmaro_install_gzipped(${PROJECT_SOURCE_DIR}/docs/velmaro.6 velmaro.6 ${manual_folder})
  # The launcher shares the program's page, through a link made only when
  # installing: configuring needs no links.
  install(CODE "file(CREATE_LINK velmaro.6.gz
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${manual_folder}/velmaro-launcher.6.gz\" SYMBOLIC)")

  set(doc_folder ${CMAKE_INSTALL_DATADIR}/doc/velmaro)
  install(FILES cmake/debian/copyright DESTINATION ${doc_folder})
  velmaro_install_gzipped(${PROJECT_SOURCE_DIR}/cmake/debian/changelog changelog ${doc_folder})
endif()

# Debian keeps games in /usr/games; `cmake --install` elsewhere keeps bin/,
# which is on the user's PATH where /usr/games may not be.
set(CPACK_CUSTOM_INSTALL_VARIABLES VELMARO_GAMES_FOLDER=ON)
install(CODE [[
  if(VELMARO_GAMES_FOLDER)
    file(RENAME "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin" "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/games")
  endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmaro)
set(CPACK_PACKAGE_VENDOR "Velmaro developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop goldfish aquarium")
set(CPACK_PACKAGE_DESCRIPTION
  "One to five goldfish, red or black, swim in a small window: they wag\n\
their tails, turn at the walls, rise to the surface and breathe out bubbles.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmaro developers <velmaro@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The Qt 6 runtime with its X11 plugin, and a Japanese font for the menu and
# the dialog, whose texts are Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins (>= 6.4), fonts-ipafont-gothic")
include(CPack)
