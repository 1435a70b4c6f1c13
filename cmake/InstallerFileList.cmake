# cmake -P script: lists an installed tree for the Windows installer, as NSIS lines: its size,
# and a macro that removes exactly the files it installed and then their folders, deepest first,
# each only when empty. settings.conf is not in it: the uninstaller decides about that one.
#   -DFILES=<installed tree> -DOUT=<file to write>
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${FILES}" "${FILES}/*")
list(SORT files)
list(REMOVE_ITEM files settings.conf)

set(bytes 0)
set(folders)
set(lines "!macro RemoveInstalledFiles\n")
foreach(file ${files})
  file(SIZE "${FILES}/${file}" size)
  math(EXPR bytes "${bytes} + ${size}")
  string(REPLACE "/" "\\" windows_path "${file}")
  string(APPEND lines "  Delete \"$INSTDIR\\${windows_path}\"\n")
  get_filename_component(folder "${file}" DIRECTORY)
  while(folder)
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES folders)
# Sorted in reverse, a folder comes after everything inside it.
list(SORT folders)
list(REVERSE folders)
foreach(folder ${folders})
  string(REPLACE "/" "\\" windows_path "${folder}")
  string(APPEND lines "  RMDir \"$INSTDIR\\${windows_path}\"\n")
endforeach()
string(APPEND lines "!macroend\n")

math(EXPR kilobytes "(${bytes} + 1023) / 1024")
file(WRITE "${OUT}" "!define INSTALLED_KB ${kilobytes}\n${lines}")
