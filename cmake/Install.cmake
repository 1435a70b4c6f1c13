# Installs Tindral like a Linux game (`cmake --install build --prefix P`) and packs the same
# tree into a Debian package (`cpack -G DEB` in the build folder).
#
#   P/libexec/tindral/tindral         the game, which runs from a folder holding its data
#   P/share/tindral/Tindral/          that data, as the run folder holds it
#   P/share/tindral/settings.conf     the default settings
#   P/bin/tindral                     the launcher: gives each player a folder to run it in
#   P/share/applications, icons, metainfo, man/man6   the desktop's and the manual's parts
#   P/share/doc/tindral               copyright and changelog, as Debian asks of a package
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/InstallWindows.cmake)
  return()
endif()
include(GNUInstallDirs)

set(TINDRAL_VERSION ${PROJECT_VERSION})
set(TINDRAL_APP_ID io.github.tindral.tindral)
set(TINDRAL_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tindral)
set(TINDRAL_SHARED_DIR ${CMAKE_INSTALL_DATADIR}/tindral)
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH TINDRAL_SOURCE_ROOT)
set(TINDRAL_DIST_DIR ${TINDRAL_SOURCE_ROOT}/dist)
set(TINDRAL_DIST_BUILD_DIR ${CMAKE_BINARY_DIR}/dist)

# Folders made by the install are world-readable whatever the installing user's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# ---- the game and its data ------------------------------------------------------------------

install(TARGETS tindral RUNTIME DESTINATION ${TINDRAL_GAME_DIR} COMPONENT game)
# Whatever the run folder holds is what the game needs, so the data is installed from there.
install(DIRECTORY ${RUN_DATA_DIR}/ DESTINATION ${TINDRAL_SHARED_DIR}/Tindral COMPONENT game
  PATTERN "*~" EXCLUDE PATTERN "*.swp" EXCLUDE)
install(FILES ${RUN_DIR}/settings.conf DESTINATION ${TINDRAL_SHARED_DIR} COMPONENT game)

# ---- the launcher ---------------------------------------------------------------------------

# The launcher finds the game and its data relative to its own place, so the tree can be
# installed under any prefix, staged with DESTDIR or packed by CPack.
file(RELATIVE_PATH GAME_FROM_LAUNCHER ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/tindral/tindral)
file(RELATIVE_PATH SHARED_FROM_LAUNCHER ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/tindral)
configure_file(${TINDRAL_DIST_DIR}/tindral.in ${TINDRAL_DIST_BUILD_DIR}/tindral @ONLY)
install(PROGRAMS ${TINDRAL_DIST_BUILD_DIR}/tindral DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)

# ---- desktop entry, icon, AppStream metadata --------------------------------------------------

install(FILES ${TINDRAL_DIST_DIR}/tindral.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)

get_target_property(TINDRAL_ICON_DIR icons ICON_DIR)
get_target_property(TINDRAL_ICON_SIZES icons ICON_SIZES)
foreach(size ${TINDRAL_ICON_SIZES})
  install(FILES ${TINDRAL_ICON_DIR}/tindral-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tindral.png COMPONENT game)
endforeach()

configure_file(${TINDRAL_DIST_DIR}/${TINDRAL_APP_ID}.metainfo.xml.in
  ${TINDRAL_DIST_BUILD_DIR}/${TINDRAL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${TINDRAL_DIST_BUILD_DIR}/${TINDRAL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)

# ---- manual page and package documents ------------------------------------------------------

set(CPACK_PACKAGE_CONTACT "Tindral maintainers <maintainers@users.noreply.c-seed-cf1499ec.example>")
configure_file(${TINDRAL_DIST_DIR}/changelog.in ${TINDRAL_DIST_BUILD_DIR}/changelog @ONLY)

# Compressed as Debian installs them; -n leaves out the time, so the bytes stay the same.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(TINDRAL_MANUAL ${TINDRAL_DIST_BUILD_DIR}/tindral.6.gz)
set(TINDRAL_CHANGELOG ${TINDRAL_DIST_BUILD_DIR}/changelog.gz)
foreach(pair "${TINDRAL_DIST_DIR}/tindral.6;${TINDRAL_MANUAL}" "${TINDRAL_DIST_BUILD_DIR}/changelog;${TINDRAL_CHANGELOG}")
  list(GET pair 0 plain)
  list(GET pair 1 compressed)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${plain} > ${compressed}
    DEPENDS ${plain}
    COMMENT "Compressing ${compressed}")
endforeach()
add_custom_target(manual ALL DEPENDS ${TINDRAL_MANUAL} ${TINDRAL_CHANGELOG})
install(FILES ${TINDRAL_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
# Debian asks every package for these two, under this package's own name.
install(FILES ${TINDRAL_DIST_DIR}/copyright ${TINDRAL_CHANGELOG}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tindral COMPONENT game)

# ---- Debian package -------------------------------------------------------------------------

set(CPACK_PACKAGE_NAME tindral)
set(CPACK_PACKAGE_VERSION ${TINDRAL_VERSION})
set(CPACK_PACKAGE_VENDOR "Tindral developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D jump-and-run: keep ahead of the flame")
# CPack puts the summary first and indents this below it as the extended description.
set(CPACK_PACKAGE_DESCRIPTION "Your hero runs along a floating level of stone columns. Behind the hero comes
a flame: the only enemy, and the only light in the dark. Stay between two and
four units ahead of it, mind the invisible stones that break away, and reach
the finish of all three levels.

Needs OpenGL 3.3.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the game's own files: nothing a developer's target might install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};game;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies come from the libraries the game links (dpkg-shlibdeps), never a kept list.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Started from the menu, the launcher tells a failure by notify-send: nobody sees its errors.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libnotify-bin)
include(CPack)
