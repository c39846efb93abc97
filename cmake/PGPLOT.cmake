# PGPLOT 5.2.2 from Debian's pgplot5, linked statically. Our own device dispatch and
# console routines (korin_client/, an OBJECT library) must stand on the link line before
# the library so that they replace its GREXEC, GRWARN and GRPROM.
find_path(PGPLOT_INCLUDE_DIR cpgplot.h REQUIRED)
find_library(PGPLOT_C_LIBRARY NAMES libcpgplot.a REQUIRED)
find_library(PGPLOT_F_LIBRARY NAMES libpgplot.a REQUIRED)
find_library(GFORTRAN_LIBRARY NAMES gfortran libgfortran.so.5 REQUIRED
             HINTS /usr/lib/gcc/x86_64-linux-gnu/12)
find_package(X11 REQUIRED)
find_package(PNG REQUIRED)
find_file(PGPLOT_GRFONT grfont.dat PATHS /usr/lib/pgplot5 REQUIRED NO_DEFAULT_PATH)
find_file(PGPLOT_RGB rgb.txt PATHS /usr/lib/pgplot5 REQUIRED NO_DEFAULT_PATH)

add_library(pgplot_static INTERFACE)
target_include_directories(pgplot_static INTERFACE ${PGPLOT_INCLUDE_DIR})
target_link_libraries(pgplot_static INTERFACE
  ${PGPLOT_C_LIBRARY} ${PGPLOT_F_LIBRARY} ${GFORTRAN_LIBRARY} X11::X11 PNG::PNG ZLIB::ZLIB m)

file(MAKE_DIRECTORY ${ZELTRA_BIN_DIR})
configure_file(${PGPLOT_GRFONT} ${ZELTRA_BIN_DIR}/grfont.dat COPYONLY)
configure_file(${PGPLOT_RGB} ${ZELTRA_BIN_DIR}/rgb.txt COPYONLY)

# Links a program with PGPLOT behind our device dispatch (once: the dispatch's object files
# must not stand twice on the link line).
function(zeltra_link_pgplot target)
  get_target_property(linked ${target} ZELTRA_PGPLOT_LINKED)
  if(linked)
    return()
  endif()
  set_target_properties(${target} PROPERTIES ZELTRA_PGPLOT_LINKED TRUE)
  target_link_libraries(${target} PRIVATE pgplot_dispatch pgplot_static)
endfunction()
