# The Windows build, cross-built with mingw-w64: its programs carry the game's icon and a version
# resource, the run folder holds the DLLs they load, and what runs here runs under Wine.
# On other systems the functions below do nothing.

if(NOT WIN32)
  function(tindral_windows_resource)
  endfunction()
  function(tindral_windows_runtime)
  endfunction()
  function(tindral_windows_runtime_dlls)
  endfunction()
  return()
endif()

# Programs of the build that run here, the tests among them, run under Wine.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/windows/wine.sh)
endif()

# A console program with a real main(): its console lines are the game's report, and
# start-up failures pause that console. Nothing may turn it into a GUI program (-mwindows).
add_link_options(-mconsole)
# Release programs are stripped as they are linked (the symbols would make them several times
# larger) and carry no link time, so the zip and the installer hold the very same files.
add_link_options($<$<CONFIG:Release,MinSizeRel>:-s> -Wl,--no-insert-timestamp)

# The folders the game's DLLs come from: the Windows libraries' prefix and the compiler's own
# runtime (the C++ library, libgcc and winpthreads).
set(TINDRAL_DLL_FOLDERS ${TINDRAL_WINDOWS_DEPS}/bin)
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${runtime} is")
  endif()
  get_filename_component(runtime_folder ${runtime_path} DIRECTORY)
  list(APPEND TINDRAL_DLL_FOLDERS ${runtime_folder})
endforeach()
list(REMOVE_DUPLICATES TINDRAL_DLL_FOLDERS)

set(TINDRAL_WINDOWS_ICON ${CMAKE_BINARY_DIR}/dist/tindral.ico)
add_custom_command(OUTPUT ${TINDRAL_WINDOWS_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
  COMMAND artgen --windows-icon ${TINDRAL_WINDOWS_ICON}
  DEPENDS artgen $<TARGET_FILE:artgen>
  COMMENT "Painting the Windows icon"
  VERBATIM)
add_custom_target(windows_icon DEPENDS ${TINDRAL_WINDOWS_ICON})

# tindral_windows_resource(<program> <description>): the icon and the version resource.
function(tindral_windows_resource target description)
  set(TINDRAL_WINDOWS_NAME ${target})
  set(TINDRAL_WINDOWS_DESCRIPTION "${description}")
  set(rc ${CMAKE_BINARY_DIR}/dist/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/dist/windows/tindral.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS ${TINDRAL_WINDOWS_ICON})
  add_dependencies(${target} windows_icon)
endfunction()

# The command that copies what a set of programs loads from the folders into a destination, and
# strips the copies with the strip program when one is given. Its lists are joined with "|": a
# ";" would split the command's arguments.
function(tindral_dll_copy_command out destination folders strip)
  string(JOIN "|" programs ${ARGN})
  string(JOIN "|" folders ${folders})
  set(${out} ${CMAKE_COMMAND} "-DPROGRAMS=${programs}" "-DSEARCH=${folders}"
    -DDESTINATION=${destination} -DOBJDUMP=${CMAKE_OBJDUMP} -DSTRIP=${strip}
    -P ${CMAKE_SOURCE_DIR}/cmake/WindowsDlls.cmake PARENT_SCOPE)
endfunction()

# tindral_windows_runtime(<program>...): every build leaves the DLLs these programs load in the
# run folder, stripped (see tindral_windows_runtime_dlls). Programs run from there, and Windows
# looks for DLLs in the current folder too. What is installed is copied from there, so that every
# copy is the same file: a strip writes a new time stamp into a DLL.
function(tindral_windows_runtime)
  set_property(GLOBAL APPEND PROPERTY TINDRAL_WINDOWS_PROGRAMS ${ARGN})
endfunction()

# Called once every program is known: the target that copies their DLLs on every build.
function(tindral_windows_runtime_dlls)
  get_property(targets GLOBAL PROPERTY TINDRAL_WINDOWS_PROGRAMS)
  set(programs)
  foreach(target ${targets})
    list(APPEND programs $<TARGET_FILE:${target}>)
  endforeach()
  tindral_dll_copy_command(copy ${RUN_DIR} "${TINDRAL_DLL_FOLDERS}" ${CMAKE_STRIP} ${programs})
  add_custom_target(runtime_dlls ALL COMMAND ${copy} COMMENT "Copying the DLLs into the run folder" VERBATIM)
  add_dependencies(runtime_dlls ${targets})
endfunction()
