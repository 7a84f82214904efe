cmake_minimum_required(VERSION 3.25)
# Installs BUILD under a prefix of its own (WORK) and checks that what names
# an installed file names the one under that prefix, not the prefix that was
# configured: "Fix"'s README (which kestrune --help names too), the input
# helper and its polkit action. Also that Debian's documentation files and
# the manual page are in place, and that it is a development install: the
# access rule, not the input service.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK} RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "installing ${BUILD} failed")
endif()

foreach(path share/doc/kestrune/README.md share/doc/kestrune/copyright share/doc/kestrune/changelog.Debian.gz
    share/man/man1/kestrune.1.gz libexec/kestrune/kestrune-input-access share/kestrune/70-kestrune.rules
    lib/udev/rules.d/70-kestrune.rules lib/modules-load.d/kestrune.conf
    # where kestrune looks beside itself for the KWin script, outside XDG_DATA_DIRS
    share/kwin/scripts/kestrune-active-window/contents/code/main.js)
  if(NOT EXISTS ${WORK}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# This is a development install: the input service is the package's alone
# (its unit names /usr, and the helper would turn to it instead of the rule).
foreach(path lib/systemd/system/kestrune-inputd.service lib/sysusers.d/kestrune.conf
    lib/udev/rules.d/70-kestrune-inputd.rules libexec/kestrune/kestrune-inputd)
  if(EXISTS ${WORK}/${path})
    message(FATAL_ERROR "a development install has the package's ${path}")
  endif()
endforeach()

file(READ ${WORK}/share/polkit-1/actions/com.kestrune.Kestrune.input-access.policy policy)
string(FIND "${policy}" ">${WORK}/libexec/kestrune/kestrune-input-access<" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the polkit action does not name the installed helper:\n${policy}")
endif()
file(READ ${WORK}/libexec/kestrune/kestrune-input-access helper)
string(FIND "${helper}" "rule_source='${WORK}/share/kestrune/70-kestrune.rules'" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the input helper does not name the installed rule")
endif()

execute_process(COMMAND ${WORK}/bin/kestrune --help OUTPUT_VARIABLE help RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "kestrune --help failed: ${failed}")
endif()
string(FIND "${help}" "${WORK}/share/doc/kestrune/README.md" at)
if(at EQUAL -1)
  message(FATAL_ERROR "kestrune --help does not name the installed README:\n${help}")
endif()
