# Installs the built program into a fresh prefix, as a user's own copy and as a system-wide
# install staged under DESTDIR, and runs the installed moxalo-cli on the sample it ships with.
# Given: MOXALO_BUILD (the build tree), MOXALO_WORK (a scratch folder of its own).

function(check condition message)
  if(NOT ${condition})
    message(FATAL_ERROR "${message}")
  endif()
endfunction()

# The installed moxalo-cli, run where no registry is named nor found, lists the sample.
function(check_lists_sample cli)
  execute_process(COMMAND "${cli}" list RESULT_VARIABLE status OUTPUT_VARIABLE rows
                  ERROR_VARIABLE errors)
  check("status EQUAL 0" "${cli} list failed (${status}): ${errors}")
  string(REGEX MATCHALL "\n" lines "${rows}")
  list(LENGTH lines count)
  check("count GREATER 100" "${cli} list gave ${count} rows")
  check("rows MATCHES \"(^|\n)txt\tText Document\tYes\tHKEY_CLASSES_ROOT\\\\\\\\.txt\n\""
        "${cli} list has no txt row: ${rows}")
  execute_process(COMMAND "${cli}" sources OUTPUT_VARIABLE sources)
  check("sources MATCHES \"bundled sample\"" "${cli} did not read the bundled sample: ${sources}")
endfunction()

file(REMOVE_RECURSE "${MOXALO_WORK}")
set(ENV{HOME} "${MOXALO_WORK}/home")
set(ENV{XDG_DATA_HOME} "${MOXALO_WORK}/xdg")
unset(ENV{MOXALO_REGISTRY})
unset(ENV{WINEPREFIX})
unset(ENV{DESTDIR})

# A copy of the user's own, its desktop entry where the desktop looks.
set(prefix "${MOXALO_WORK}/my programs/moxalo")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${MOXALO_BUILD}" --prefix "${prefix}"
                RESULT_VARIABLE status OUTPUT_QUIET)
check("status EQUAL 0" "cmake --install failed")
foreach(file moxalo moxalo-cli moxalo-regedit moxalo-notepad data/sample.reg help.chm
        help/index.html)
  check("EXISTS \"${prefix}/${file}\"" "${file} is not in the program folder")
endforeach()
set(entry "$ENV{XDG_DATA_HOME}/applications/moxalo.desktop")
file(READ "${entry}" text)
check("text MATCHES \"\nExec=\\\"${prefix}/moxalo\\\" %f\n\"" "the desktop entry names no program: ${text}")
check("EXISTS \"$ENV{XDG_DATA_HOME}/icons/hicolor/48x48/apps/moxalo.png\"" "no icon")
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND "${validate}" "${entry}" RESULT_VARIABLE status OUTPUT_VARIABLE said)
  check("status EQUAL 0" "the desktop entry is not valid: ${said}")
endif()
check_lists_sample("${prefix}/moxalo-cli")

# A system-wide install: programs in lib/moxalo, links on the PATH.
set(ENV{DESTDIR} "${MOXALO_WORK}/stage")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${MOXALO_BUILD}" --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET)
check("status EQUAL 0" "cmake --install --prefix /usr failed")
set(usr "$ENV{DESTDIR}/usr")
check("IS_SYMLINK \"${usr}/bin/moxalo-cli\"" "moxalo-cli is not linked into bin")
check("EXISTS \"${usr}/lib/moxalo/help.chm\"" "no help file in lib/moxalo")
file(READ "${usr}/share/applications/moxalo.desktop" text)
check("text MATCHES \"\nExec=moxalo %f\n\"" "the system's desktop entry: ${text}")
check_lists_sample("${usr}/bin/moxalo-cli")
