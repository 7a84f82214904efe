# The frontmost application on Linux: the active-window sources of each kind
# of session and the choice among them.
include(GNUInstallDirs)
target_sources(kestrune_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ActiveWindowSource.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxWorkspace.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxWorkspace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrontmostRoute.h
  ${CMAKE_CURRENT_LIST_DIR}/FrontmostRoute.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SwayActiveWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/SwayActiveWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GnomeShellActiveWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/GnomeShellActiveWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KWinActiveWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/KWinActiveWindow.cpp)
find_package(Qt6 REQUIRED COMPONENTS Network)
target_link_libraries(kestrune_platform_linux PUBLIC Qt6::Network)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FrontmostRoute.cpp PROPERTIES
  COMPILE_DEFINITIONS "KESTRUNE_SHARE_DIR=\"${CMAKE_INSTALL_FULL_DATADIR}\"")
