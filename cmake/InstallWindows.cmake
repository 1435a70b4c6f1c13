# Installs Tindral for Windows as one portable folder, as a player unpacks it from the zip
# (`cpack -G ZIP` in the build folder) and as the installer (the target `installer`) puts it into
# %LOCALAPPDATA%\Programs\Tindral:
#
#   tindral.exe          the game, with its icon and version resource
#   tindral-level.exe    the level tool (check and solve; pictures need Cairo, not built here)
#   *.dll                the libraries they load, stripped
#   settings.conf        the documented default; gamecontrollerdb.txt goes beside it
#   Tindral/             the game's data
#   LICENSE.txt, README.txt
set(TINDRAL_WINDOWS_PACKAGE tindral-${PROJECT_VERSION}-windows-x64)

install(TARGETS tindral tindral-level RUNTIME DESTINATION . COMPONENT game)
install(DIRECTORY ${RUN_DATA_DIR}/ DESTINATION Tindral COMPONENT game
  PATTERN "*~" EXCLUDE PATTERN "*.swp" EXCLUDE)
install(FILES ${RUN_DIR}/settings.conf DESTINATION . COMPONENT game)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright DESTINATION . RENAME LICENSE.txt COMPONENT game)
install(FILES ${CMAKE_SOURCE_DIR}/dist/windows/README.txt DESTINATION . COMPONENT game)

tindral_dll_copy_command(copy_dlls "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}" ${RUN_DIR} ""
  $<TARGET_FILE:tindral> $<TARGET_FILE:tindral-level>)
list(JOIN copy_dlls "\" \"" copy_dlls)
install(CODE "execute_process(COMMAND \"${copy_dlls}\" COMMAND_ERROR_IS_FATAL ANY)" COMPONENT game)

# ---- the zip --------------------------------------------------------------------------------

set(CPACK_PACKAGE_NAME tindral)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tindral developers")
set(CPACK_PACKAGE_FILE_NAME ${TINDRAL_WINDOWS_PACKAGE})
set(CPACK_GENERATOR ZIP)
# Unpacked, the zip gives one folder named like itself, which the game runs from.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};game;/")
include(CPack)

# ---- the installer --------------------------------------------------------------------------

find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(stage ${CMAKE_BINARY_DIR}/installer/files)
  set(file_list ${CMAKE_BINARY_DIR}/installer/files.nsh)
  set(TINDRAL_INSTALLER ${CMAKE_BINARY_DIR}/${TINDRAL_WINDOWS_PACKAGE}-setup.exe)
  configure_file(${CMAKE_SOURCE_DIR}/dist/windows/installer.nsi.in ${CMAKE_BINARY_DIR}/installer/tindral.nsi @ONLY)
  add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${stage} --component game
    COMMAND ${CMAKE_COMMAND} -DFILES=${stage} -DOUT=${file_list} -P ${CMAKE_SOURCE_DIR}/cmake/InstallerFileList.cmake
    COMMAND ${MAKENSIS} -V2 -DFILES=${stage} -DFILELIST=${file_list} -DOUTFILE=${TINDRAL_INSTALLER}
      ${CMAKE_BINARY_DIR}/installer/tindral.nsi
    COMMENT "Making the installer ${TINDRAL_INSTALLER}"
    VERBATIM)
  add_dependencies(installer tindral tindral-level)
endif()
