# What the application's own windows need from the desktop: the installed
# applications to choose from (GIO), and whether an X11 compositing manager
# blends translucent windows.
pkg_check_modules(KESTRUNE_SHELL_GIO REQUIRED IMPORTED_TARGET GLOBAL gio-unix-2.0)
pkg_check_modules(KESTRUNE_SHELL_XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
target_sources(kestrune_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GioApplicationCatalog.h
  ${CMAKE_CURRENT_LIST_DIR}/GioApplicationCatalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Compositing.h
  ${CMAKE_CURRENT_LIST_DIR}/X11Compositing.cpp)
target_link_libraries(kestrune_platform_linux PRIVATE PkgConfig::KESTRUNE_SHELL_GIO PkgConfig::KESTRUNE_SHELL_XCB)
