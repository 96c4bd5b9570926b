# Where `cmake --install` and the package put the program's parts.
include(GNUInstallDirs)

# The two libraries are the program's own, loaded by path from beside the program, never through
# the loader's search path; the same folder under every prefix keeps that path fixed at build time.
set(PLUMARET_INSTALL_LIBDIR lib/plumaret)
# The phrase book; the menu entry starts the program in this folder, where it reads db.dll.
set(PLUMARET_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/plumaret)
