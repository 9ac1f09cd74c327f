# Run by `cmake --install` (and so by cpack) before the install rules that use it: where each
# part goes depends on the prefix installed to, which `--prefix` and cpack choose after
# configuring.
#
# /usr or /usr/local: a system-wide install laid out as the distribution lays out its own: the
#   programs and their data in lib/moxalo, links to the two commands in bin, the desktop entry,
#   icons and manual pages under share. The program keeps its settings and backups in each
#   user's own data folder then, as it cannot write beside itself.
# Any other prefix (~/.local/opt/moxalo unless told otherwise): a folder of the user's own that
#   holds the programs, their data, settings and backups side by side; the desktop entry and
#   icons go to the user's data folder ($XDG_DATA_HOME or ~/.local/share), where the desktop
#   looks for them.
#
# Sets, relative to the prefix or absolute: MOXALO_INSTALL_PROGRAM_DIR, MOXALO_INSTALL_DATA_DIR
# (that of the desktop entry and icons), MOXALO_INSTALL_MAN_DIR, and MOXALO_INSTALL_SYSTEM.

if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
  set(MOXALO_INSTALL_SYSTEM TRUE)
  set(MOXALO_INSTALL_PROGRAM_DIR "lib/moxalo")
  set(MOXALO_INSTALL_DATA_DIR "share")
  set(MOXALO_INSTALL_MAN_DIR "share/man/man1")
else()
  set(MOXALO_INSTALL_SYSTEM FALSE)
  set(MOXALO_INSTALL_PROGRAM_DIR ".")
  if("$ENV{XDG_DATA_HOME}" MATCHES "^/")
    set(MOXALO_INSTALL_DATA_DIR "$ENV{XDG_DATA_HOME}")
  else()
    set(MOXALO_INSTALL_DATA_DIR "$ENV{HOME}/.local/share")
  endif()
  set(MOXALO_INSTALL_MAN_DIR "share/man/man1")
endif()
message(STATUS "Programs in ${MOXALO_INSTALL_PROGRAM_DIR} under ${CMAKE_INSTALL_PREFIX}; "
               "desktop entry and icons in ${MOXALO_INSTALL_DATA_DIR}")
