# Run by `cmake --install` after InstallLayout.cmake: writes the desktop entry for the place
# the program is being installed to, and installs it with the icons and the AppStream metainfo
# that software centres list the program by.
# Given: MOXALO_DESKTOP_TEMPLATE, MOXALO_DESKTOP_OUTPUT (a file in the build tree),
# MOXALO_ICONS (the folder of the icon's drawing and its renderings) and MOXALO_METAINFO.

function(moxalo_absolute relative result)
  cmake_path(ABSOLUTE_PATH relative BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE
             OUTPUT_VARIABLE path)
  string(REGEX REPLACE "(.)/$" "\\1" path "${path}")
  set(${result} "${path}" PARENT_SCOPE)
endfunction()

# A system-wide install puts the command on the PATH; a folder of the user's own is named whole.
# TryExec is a plain string; Exec is a command line, quoted when the path needs it, with the
# command line's escapes under the string's. A "%" is a field code unless doubled.
if(MOXALO_INSTALL_SYSTEM)
  set(program "moxalo")
else()
  moxalo_absolute("${MOXALO_INSTALL_PROGRAM_DIR}/moxalo" program)
endif()
string(REPLACE "\\" "\\\\" MOXALO_TRYEXEC "${program}")
if(program MATCHES "^[A-Za-z0-9_./+-]+$")
  set(MOXALO_EXEC "${program}")
else()
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${program}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(MOXALO_EXEC "\"${quoted}\"")
endif()
configure_file("${MOXALO_DESKTOP_TEMPLATE}" "${MOXALO_DESKTOP_OUTPUT}" @ONLY)

moxalo_absolute("${MOXALO_INSTALL_DATA_DIR}" datadir)
file(INSTALL "${MOXALO_DESKTOP_OUTPUT}" DESTINATION "${datadir}/applications"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL "${MOXALO_ICONS}/moxalo.svg" DESTINATION "${datadir}/icons/hicolor/scalable/apps"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# AppStream finds a component's metainfo by its id, which the file's name must carry.
file(STRINGS "${MOXALO_METAINFO}" metainfo_id REGEX "<id>.*</id>")
string(REGEX REPLACE ".*<id>(.*)</id>.*" "\\1" metainfo_id "${metainfo_id}")
file(INSTALL "${MOXALO_METAINFO}" DESTINATION "${datadir}/metainfo"
     RENAME "${metainfo_id}.metainfo.xml" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
foreach(size 16 32 48 64 128 256)
  file(INSTALL "${MOXALO_ICONS}/moxalo-${size}.png"
       DESTINATION "${datadir}/icons/hicolor/${size}x${size}/apps"
       RENAME moxalo.png PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()

# Installed straight to the desktop's own folder, the association of .reg files with the entry
# and the icon cache are brought up to date as a package's install would. A staged install
# (DESTDIR, cpack) leaves that to the package manager.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(MOXALO_UPDATE_DESKTOP_DATABASE update-desktop-database)
  if(MOXALO_UPDATE_DESKTOP_DATABASE)
    execute_process(COMMAND "${MOXALO_UPDATE_DESKTOP_DATABASE}" -q "${datadir}/applications")
  endif()
  find_program(MOXALO_UPDATE_ICON_CACHE gtk-update-icon-cache)
  if(MOXALO_UPDATE_ICON_CACHE AND EXISTS "${datadir}/icons/hicolor/index.theme")
    execute_process(COMMAND "${MOXALO_UPDATE_ICON_CACHE}" -q -t "${datadir}/icons/hicolor")
  endif()
endif()
