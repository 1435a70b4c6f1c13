# Installs Tindral like a Linux game: `cmake --install build --prefix P`.
#
#   P/libexec/tindral/tindral         the game, which runs from a folder holding its data
#   P/share/tindral/Tindral/          that data, as the run folder holds it
#   P/share/tindral/settings.conf     the default settings
#   P/bin/tindral                     the launcher: gives each player a folder to run it in
#   P/share/applications, icons, metainfo, man/man6   the desktop's and the manual's parts
include(GNUInstallDirs)

set(TINDRAL_VERSION 0.1.0)
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

# ---- manual page ----------------------------------------------------------------------------

# Compressed as Debian installs manual pages; -n leaves out the time, so the bytes stay the same.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(TINDRAL_MANUAL ${TINDRAL_DIST_BUILD_DIR}/tindral.6.gz)
add_custom_command(OUTPUT ${TINDRAL_MANUAL}
  COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${TINDRAL_DIST_DIR}/tindral.6 > ${TINDRAL_MANUAL}
  DEPENDS ${TINDRAL_DIST_DIR}/tindral.6
  COMMENT "Compressing the manual page")
add_custom_target(manual ALL DEPENDS ${TINDRAL_MANUAL})
install(FILES ${TINDRAL_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
