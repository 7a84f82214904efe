# Tests of the routes to the active window under Wayland and their choice:
# a real headless sway, and GNOME Shell's and KWin's parts played by the test
# on a private D-Bus daemon. GIO reads its folders once per process, so these
# have a program of their own with the workspace tests' applications.
kestrune_add_test(test_linux_frontmost
  SOURCES
    SystemTestSupport.h
    DesktopFilesEnvironment.h
    DesktopFilesEnvironment.cpp
    FakeDesktopServices.h
    FrontmostRouteTest.cpp
    SwayRouteTest.cpp
    GnomeShellRouteTest.cpp
    KWinRouteTest.cpp
  LIBS kestrune_platform_linux kestrune_exclusions
  LABELS linux)
target_compile_definitions(test_linux_frontmost PRIVATE
  KESTRUNE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# The Shell extensions and the KWin script are checked for syntax: the ES
# module form as a module, the others as scripts.
find_program(KESTRUNE_NODE NAMES node nodejs)
if(KESTRUNE_NODE)
  set(kestrune_desktop_scripts ${PROJECT_SOURCE_DIR}/resources/linux)
  add_test(NAME linux_shell_extension_syntax
    COMMAND ${CMAKE_COMMAND} -DNODE=${KESTRUNE_NODE}
      -DMODULES=${kestrune_desktop_scripts}/gnome-shell/kestrune@kestrune.com/extension.js
      "-DSCRIPTS=${kestrune_desktop_scripts}/gnome-shell/kestrune-legacy@kestrune.com/extension.js;${kestrune_desktop_scripts}/kwin/kestrune-active-window/contents/code/main.js"
      -DWORK=${CMAKE_CURRENT_BINARY_DIR}/script-syntax
      -P ${PROJECT_SOURCE_DIR}/scripts/check-script-syntax.cmake)
  set_tests_properties(linux_shell_extension_syntax PROPERTIES LABELS "linux;packaging")
else()
  message(WARNING "node is missing: the Shell extension and KWin script go unchecked (run scripts/setup.sh)")
endif()

# The Shell extension's own code under gjs, both forms, on a private bus:
# the application in front goes to Kestrune alone.
find_program(KESTRUNE_GJS gjs)
find_program(KESTRUNE_DBUS_RUN_SESSION dbus-run-session)
if(KESTRUNE_GJS AND KESTRUNE_DBUS_RUN_SESSION)
  foreach(form_folder module:kestrune@kestrune.com legacy:kestrune-legacy@kestrune.com)
    string(REPLACE ":" ";" form_folder ${form_folder})
    list(GET form_folder 0 form)
    list(GET form_folder 1 folder)
    add_test(NAME linux_shell_extension_${form}
      COMMAND ${KESTRUNE_DBUS_RUN_SESSION} -- ${KESTRUNE_GJS} -m ${CMAKE_CURRENT_SOURCE_DIR}/shell_extension_test.js
        ${form} ${PROJECT_SOURCE_DIR}/resources/linux/gnome-shell/${folder}/extension.js)
    set_tests_properties(linux_shell_extension_${form} PROPERTIES LABELS linux)
  endforeach()
else()
  message(WARNING "gjs or dbus-run-session is missing: the Shell extension's behaviour goes untested (run scripts/setup.sh)")
endif()

# The install tree (and so the .deb, made from the same rules) carries them.
add_test(NAME linux_desktop_routes_installed
  COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/route-install
    -P ${PROJECT_SOURCE_DIR}/scripts/check-desktop-routes-installed.cmake)
set_tests_properties(linux_desktop_routes_installed PROPERTIES LABELS "linux;packaging")
