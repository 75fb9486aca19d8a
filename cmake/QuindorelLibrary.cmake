# quindorel_library(<name> <source>...): one library of the program, from the
# sources given (.cpp and .h). With no .cpp it is an INTERFACE library.
#
# The code includes our headers by their path from the top of the checkout
# ("platform/Platform.h"), but a library's headers are seen only by the
# library itself and by what links it: each header gets a forwarding header
# at that same path in a folder of the library's own under the build folder,
# and that folder, not the checkout, is the library's include path. Code that
# includes a header of a library it does not link does not compile.
include_guard(GLOBAL)

get_filename_component(quindorel_source_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# One spelling for every test of the system in the code: "QuindorelConfig.h",
# written here, says which systems the build is for, each as 0 or 1, tested
# with #if. Each system's name there, and the CMake variable that says it:
foreach(system_and_variable WINDOWS:WIN32 UNIX:UNIX X11:QUINDOREL_HAVE_X11
                            WAYLAND:QUINDOREL_HAVE_WAYLAND)
  string(REPLACE ":" ";" system_and_variable ${system_and_variable})
  list(GET system_and_variable 0 system)
  list(GET system_and_variable 1 variable)
  if(${variable})
    set(QUINDOREL_CONFIG_${system} 1)
  else()
    set(QUINDOREL_CONFIG_${system} 0)
  endif()
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/include/quindorel_config/QuindorelConfig.h
     CONTENT [[#pragma once

// Written by the build (cmake/QuindorelLibrary.cmake): the systems this
// build is for. Test them with #if, never #ifdef.
#define QUINDOREL_WINDOWS @QUINDOREL_CONFIG_WINDOWS@
#define QUINDOREL_UNIX @QUINDOREL_CONFIG_UNIX@
#define QUINDOREL_X11 @QUINDOREL_CONFIG_X11@
#define QUINDOREL_WAYLAND @QUINDOREL_CONFIG_WAYLAND@
]] @ONLY)
add_library(quindorel_config INTERFACE)
target_include_directories(quindorel_config INTERFACE ${CMAKE_BINARY_DIR}/include/quindorel_config)

function(quindorel_library name)
  set(compiled ${ARGN})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    add_library(${name} STATIC ${ARGN})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE ${ARGN})
    set(scope INTERFACE)
  endif()

  set(include_root ${CMAKE_BINARY_DIR}/include/${name})
  target_include_directories(${name} ${scope} ${include_root})
  target_link_libraries(${name} ${scope} quindorel_config)
  set(forwarders)
  foreach(source ${ARGN})
    if(source MATCHES "\\.h$")
      get_filename_component(header ${source} ABSOLUTE)
      file(RELATIVE_PATH include_path ${quindorel_source_root} ${header})
      # Written only when it changes, so a new configure rebuilds nothing.
      file(CONFIGURE OUTPUT ${include_root}/${include_path}
           CONTENT "#include \"${header}\"\n" @ONLY)
      list(APPEND forwarders ${include_root}/${include_path})
    endif()
  endforeach()
  # A header taken off the list is seen no more.
  file(GLOB_RECURSE stale LIST_DIRECTORIES false ${include_root}/*)
  if(forwarders)
    list(REMOVE_ITEM stale ${forwarders})
  endif()
  if(stale)
    file(REMOVE ${stale})
  endif()
endfunction()
