# Where `cmake --install` and the package put the program's parts.
include(GNUInstallDirs)

# The two libraries are the program's own, loaded by path from beside the program, never through
# the loader's search path; the same folder under every prefix keeps that path fixed at build time.
set(PLUMARET_INSTALL_LIBDIR lib/plumaret)
# The phrase book; the menu entry starts the program in this folder, where it reads db.dll.
set(PLUMARET_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/plumaret)
# The installed programs link none of the project's libraries, so they need no search path of their
# own (Qt's project setup would give them $ORIGIN, which makes /usr/bin a library folder).
set(CMAKE_SKIP_INSTALL_RPATH ON)
