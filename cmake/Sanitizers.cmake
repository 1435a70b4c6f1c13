# A build of everything under AddressSanitizer and UndefinedBehaviorSanitizer, for the checks;
# with clang it also builds the fuzz targets. Any report ends the program that made it.
option(TINDRAL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(TINDRAL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The run-time options and the leak suppressions are compiled into every program, so that
  # ctest, the game under the black-box scripts and the fuzzers all run with them.
  set(suppressions ${CMAKE_SOURCE_DIR}/tests/sanitizers/lsan.supp)
  file(READ ${suppressions} TINDRAL_LSAN_SUPPRESSIONS)
  set(TINDRAL_MESA_DRIVER /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/dri/swrast_dri.so)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${suppressions})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp.in ${CMAKE_BINARY_DIR}/SanitizerOptions.cpp @ONLY)
  add_library(tindral_sanitizer_options OBJECT ${CMAKE_BINARY_DIR}/SanitizerOptions.cpp)
endif()

# Gives a program of the sanitizer build its options; nothing otherwise.
function(tindral_sanitizer_options target)
  if(TARGET tindral_sanitizer_options)
    target_link_libraries(${target} PRIVATE tindral_sanitizer_options)
  endif()
endfunction()
