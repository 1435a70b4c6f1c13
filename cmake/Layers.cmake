# The game's code is six folders stacked as layers, each a static library that links only the
# layers below it:
#   gl < assets < scene < game < render < app
# assets, scene and game hold no GL: they do not see gl/ at all.
# A layer compiles against an include root of its own that holds links to its folder and the
# folders below it, and nothing else: an include of a higher layer's header does not build.

set(TINDRAL_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# What Linux and Windows do differently a layer keeps behind a small header of its own, with one
# source file for each system in <folder>/platform/<system>/; the build compiles its target's.
if(WIN32)
  set(TINDRAL_PLATFORM Windows)
else()
  set(TINDRAL_PLATFORM Linux)
endif()

# Makes ${TINDRAL_LAYER_ROOTS}/<library>/<folder> a link to the source folder, for each folder.
function(tindral_include_root library)
  set(root ${TINDRAL_LAYER_ROOTS}/${library})
  file(REMOVE_RECURSE ${root})
  foreach(folder ${ARGN})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
endfunction()

# tindral_layer(<library> FOLDER <folder> [SEES <lower folders>...] [LINKS <libraries>...]
#               [EXCLUDE <source files>...])
function(tindral_layer library)
  cmake_parse_arguments(LAYER "" "FOLDER" "SEES;LINKS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${LAYER_FOLDER}/*.cpp)
  foreach(excluded ${LAYER_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${excluded})
  endforeach()
  file(GLOB platform_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${LAYER_FOLDER}/platform/${TINDRAL_PLATFORM}/*.cpp)
  list(APPEND sources ${platform_sources})
  add_library(${library} STATIC ${sources})
  tindral_include_root(${library} ${LAYER_FOLDER} ${LAYER_SEES})
  target_include_directories(${library} PUBLIC ${TINDRAL_LAYER_ROOTS}/${library})
  target_link_libraries(${library} PUBLIC ${LAYER_LINKS})
endfunction()
