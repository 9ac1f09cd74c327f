# Installs the built program into a fresh prefix, as a user's own copy and as a system-wide
# install staged under DESTDIR, and runs the installed moxalo-cli on the sample it ships with.
# Given: MOXALO_BUILD (the build tree), MOXALO_WORK (a scratch folder of its own).

# check(MESSAGE CONDITION...): stops the test with MESSAGE unless the condition holds.
function(check message)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "${message}")
  endif()
endfunction()

# The installed moxalo-cli, run where no registry is named nor found, lists the sample.
function(check_lists_sample cli)
  execute_process(COMMAND "${cli}" list RESULT_VARIABLE status OUTPUT_VARIABLE rows
                  ERROR_VARIABLE errors)
  check("${cli} list failed (${status}): ${errors}" status EQUAL 0)
  string(REGEX MATCHALL "\n" lines "${rows}")
  list(LENGTH lines count)
  check("${cli} list gave ${count} rows" count GREATER 100)
  check("${cli} list has no txt row: ${rows}" rows MATCHES "(^|\n)txt\tText Document\tYes\tHKEY_CLASSES_ROOT\\\\.txt\n")
  execute_process(COMMAND "${cli}" sources OUTPUT_VARIABLE sources)
  check("${cli} did not read the bundled sample: ${sources}" sources MATCHES "bundled sample")
endfunction()

# The installed metainfo names the installed desktop entry and the version of the installed cli,
# and appstreamcli finds nothing to say of it: its warnings keep a software centre from listing
# the program.
function(check_metainfo datadir cli)
  set(id org.example.moxalo)
  set(metainfo "${datadir}/metainfo/${id}.metainfo.xml")
  check("no metainfo at ${metainfo}" EXISTS "${metainfo}")
  file(READ "${metainfo}" text)
  check("the metainfo is not of ${id}" text MATCHES "<id>${id}</id>")
  string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]*)</launchable>" found "${text}")
  set(entry "${datadir}/applications/${CMAKE_MATCH_1}")
  check("the metainfo names no installed desktop entry: ${found}"
        CMAKE_MATCH_1 AND EXISTS "${entry}")
  execute_process(COMMAND "${cli}" --version OUTPUT_VARIABLE said)
  string(REGEX MATCH "^moxalo-cli ([^\n]+)" said "${said}")
  set(version "${CMAKE_MATCH_1}")
  string(REGEX MATCH "<release version=\"([^\"]*)\"" release "${text}")
  check("the metainfo's newest release is not ${version}: ${release}"
        version AND CMAKE_MATCH_1 STREQUAL version)
  # scripts/setup.sh installs it: a machine without it has not been set up.
  find_program(appstreamcli appstreamcli)
  check("appstreamcli is missing (Debian package appstream)" appstreamcli)
  execute_process(COMMAND "${appstreamcli}" validate --no-net --pedantic --strict --no-color
                          "${metainfo}" RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
  check("appstreamcli: ${metainfo} is not valid (${status}): ${said}" status EQUAL 0)
  check("appstreamcli: ${metainfo}: ${said}" NOT said MATCHES "(^|\n)[EWIP]: ")
endfunction()

file(REMOVE_RECURSE "${MOXALO_WORK}")
set(ENV{HOME} "${MOXALO_WORK}/home")
set(ENV{XDG_DATA_HOME} "${MOXALO_WORK}/xdg")
unset(ENV{MOXALO_REGISTRY})
unset(ENV{MOXALO_REGISTRY_ENCODED})
unset(ENV{WINEPREFIX})
unset(ENV{DESTDIR})

# A copy of the user's own, its desktop entry where the desktop looks.
set(prefix "${MOXALO_WORK}/my programs/moxalo")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${MOXALO_BUILD}" --prefix "${prefix}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
check("cmake --install failed: ${errors}" status EQUAL 0)
foreach(file moxalo moxalo-cli moxalo-regedit moxalo-notepad data/sample.reg help.chm
        help/index.html)
  check("${file} is not in the program folder" EXISTS "${prefix}/${file}")
endforeach()
set(entry "$ENV{XDG_DATA_HOME}/applications/moxalo.desktop")
file(READ "${entry}" text)
check("the desktop entry names no program: ${text}" text MATCHES "\nExec=\"${prefix}/moxalo\" %f\n")
check("no icon" EXISTS "$ENV{XDG_DATA_HOME}/icons/hicolor/48x48/apps/moxalo.png")
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND "${validate}" "${entry}" RESULT_VARIABLE status OUTPUT_VARIABLE said)
  check("the desktop entry is not valid: ${said}" status EQUAL 0)
endif()
check_lists_sample("${prefix}/moxalo-cli")
check_metainfo("$ENV{XDG_DATA_HOME}" "${prefix}/moxalo-cli")

# A system-wide install: programs in lib/moxalo, links on the PATH.
set(ENV{DESTDIR} "${MOXALO_WORK}/stage")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${MOXALO_BUILD}" --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
check("cmake --install --prefix /usr failed: ${errors}" status EQUAL 0)
set(usr "$ENV{DESTDIR}/usr")
check("moxalo-cli is not linked into bin" IS_SYMLINK "${usr}/bin/moxalo-cli")
check("no help file in lib/moxalo" EXISTS "${usr}/lib/moxalo/help.chm")
file(READ "${usr}/share/applications/moxalo.desktop" text)
check("the system's desktop entry: ${text}" text MATCHES "\nExec=moxalo %f\n")
check_lists_sample("${usr}/bin/moxalo-cli")
check_metainfo("${usr}/share" "${usr}/bin/moxalo-cli")
