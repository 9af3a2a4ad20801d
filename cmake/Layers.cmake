# The layers of the program: sim and assets at the bottom, render above them,
# dialog and app side by side above render, and the entry above them all. A layer's headers are reached as
# "folder/Name.h" through a folder of its own in the build tree that holds
# only that layer; a library sees its own layer and those of the libraries it
# links, so an include that points up does not compile.
function(velmaro_layer target folder)
  set(view ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${view})
  if(NOT EXISTS ${view}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${view})
endfunction()
