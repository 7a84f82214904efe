# Tests of the Linux system integration: device, wake and login-item pieces
# in one program; the workspace, whose GIO reads its folders once per
# process, in another. Our code in them runs on the main thread only, so they
# are not labelled "threaded": the threads they have are Qt D-Bus's and
# GLib's own, whose locking ThreadSanitizer cannot see in the uninstrumented
# libraries.

kestrune_add_test(test_linux_system
  SOURCES
    SystemTestSupport.h
    UdevDeviceMonitorTest.cpp
    MockLogind.h
    LogindWakeNotifierTest.cpp
    LogindSessionTest.cpp
    XdgAutostartLoginItemTest.cpp
  LIBS kestrune_platform_linux PkgConfig::KESTRUNE_SYS_GIO
  LABELS linux)
target_compile_definitions(test_linux_system PRIVATE KESTRUNE_DBUSMOCK_PYTHON="${KESTRUNE_DBUSMOCK_PYTHON}")

kestrune_add_test(test_linux_workspace
  SOURCES
    SystemTestSupport.h
    DesktopFilesEnvironment.h
    DesktopFilesEnvironment.cpp
    DesktopApplicationsTest.cpp
    X11WorkspaceTest.cpp
  LIBS kestrune_platform_linux PkgConfig::KESTRUNE_SYS_XCB
  LABELS linux)

# The desktop integration files, checked by the tools desktops and software
# centres use, where those tools are installed.
find_program(KESTRUNE_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(KESTRUNE_APPSTREAMCLI appstreamcli)
find_program(KESTRUNE_LIBINPUT libinput)
if(KESTRUNE_DESKTOP_FILE_VALIDATE)
  add_test(NAME linux_desktop_entry_valid
    COMMAND ${KESTRUNE_DESKTOP_FILE_VALIDATE} ${PROJECT_SOURCE_DIR}/resources/linux/com.kestrune.Kestrune.desktop)
  set_tests_properties(linux_desktop_entry_valid PROPERTIES LABELS "linux;packaging")
endif()
if(KESTRUNE_APPSTREAMCLI)
  add_test(NAME linux_metainfo_valid
    COMMAND ${KESTRUNE_APPSTREAMCLI} validate --no-net --pedantic
      ${PROJECT_BINARY_DIR}/resources/linux/com.kestrune.Kestrune.metainfo.xml)
  set_tests_properties(linux_metainfo_valid PROPERTIES LABELS "linux;packaging")
endif()
# The libinput quirks file, as libinput reads it (the real-kernel stage
# checks that it matches the virtual keyboard).
if(KESTRUNE_LIBINPUT)
  set(quirks_dir ${CMAKE_CURRENT_BINARY_DIR}/quirks)
  file(MAKE_DIRECTORY ${quirks_dir})
  configure_file(${PROJECT_SOURCE_DIR}/resources/linux/kestrune.quirks ${quirks_dir}/50-kestrune.quirks COPYONLY)
  add_test(NAME linux_libinput_quirks_valid COMMAND ${KESTRUNE_LIBINPUT} quirks validate --data-dir ${quirks_dir})
  set_tests_properties(linux_libinput_quirks_valid PROPERTIES LABELS "linux;packaging")
endif()
