# System integration of the Linux backend: device and wake notices, the
# workspace (active window, .desktop applications) and the autostart entry.
find_package(Qt6 REQUIRED COMPONENTS DBus)
pkg_check_modules(KESTRUNE_SYS_UDEV REQUIRED IMPORTED_TARGET GLOBAL libudev)
pkg_check_modules(KESTRUNE_SYS_GIO REQUIRED IMPORTED_TARGET GLOBAL gio-unix-2.0)
pkg_check_modules(KESTRUNE_SYS_XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)

target_sources(kestrune_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/UdevDeviceMonitor.h
  ${CMAKE_CURRENT_LIST_DIR}/UdevDeviceMonitor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UdevInputSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogindWakeNotifier.h
  ${CMAKE_CURRENT_LIST_DIR}/LogindWakeNotifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogindSession.h
  ${CMAKE_CURRENT_LIST_DIR}/LogindSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GioHeaders.h
  ${CMAKE_CURRENT_LIST_DIR}/DesktopApplications.h
  ${CMAKE_CURRENT_LIST_DIR}/DesktopApplications.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11ActiveWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/X11ActiveWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Workspace.h
  ${CMAKE_CURRENT_LIST_DIR}/X11Workspace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XdgAutostartLoginItem.h
  ${CMAKE_CURRENT_LIST_DIR}/XdgAutostartLoginItem.cpp)
target_link_libraries(kestrune_platform_linux
  PUBLIC Qt6::DBus
  PRIVATE PkgConfig::KESTRUNE_SYS_UDEV PkgConfig::KESTRUNE_SYS_GIO PkgConfig::KESTRUNE_SYS_XCB)
