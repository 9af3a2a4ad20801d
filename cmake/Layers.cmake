# The layers of the program: sim and assets at the bottom, render above them,
# dialog and app side by side above render, and the entry above them all. A
# layer's headers are reached as "folder/Name.h" through a folder of its own
# in the build tree that holds only that layer; a library sees its own layer
# and those of the libraries it links, so an include that points up does not
# compile.
#
# The folder holds one forwarding header per real one rather than a link to
# the sources: Windows makes symbolic links only for developers, and the
# rule must hold wherever the program is built.
function(velmaro_layer target folder)
  set(view ${PROJECT_BINARY_DIR}/layers/${folder})
  set(source ${PROJECT_SOURCE_DIR}/${folder})
  # A tree configured when this was a link: writing through it would
  # overwrite the sources.
  if(IS_SYMLINK ${view}/${folder})
    file(REMOVE ${view}/${folder})
  endif()
  # The headers the library lists among its sources.
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "[.]h$")
  set(headers)
  foreach(header IN LISTS sources)
    file(RELATIVE_PATH header ${source} ${source}/${header})
    list(APPEND headers ${header})
  endforeach()
  # A header the library no longer lists loses its forwarder, which the
  # last configuring wrote down.
  set(written ${view}/forwarders.txt)
  set(forwarders)
  if(EXISTS ${written})
    file(STRINGS ${written} forwarders)
  endif()
  foreach(header IN LISTS forwarders)
    if(NOT header IN_LIST headers)
      file(REMOVE ${view}/${folder}/${header})
    endif()
  endforeach()
  foreach(header IN LISTS headers)
    file(CONFIGURE OUTPUT ${view}/${folder}/${header}
      CONTENT "#include \"${source}/${header}\"\n")
  endforeach()
  list(JOIN headers "\n" listed)
  file(CONFIGURE OUTPUT ${written} CONTENT "${listed}\n")
  target_include_directories(${target} PUBLIC ${view})
endfunction()
