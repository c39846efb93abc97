# The folders of the display program are layers: each is a library that may use only the
# libraries it links. Includes are written "folder/File.h"; a folder's library offers its
# headers through an include root of its own that holds only that folder (a link to it), so a
# target sees the headers of the folders it links and no others, and an include that runs up
# the layers is not found.
function(zeltra_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/include_roots/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
