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
# The shared-data folder as seen from the executable's folder, so that the
# installed tree is found wherever it was installed, not where it was configured.
file(RELATIVE_PATH kestrune_share_from_binary /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_DATADIR})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FrontmostRoute.cpp PROPERTIES
  COMPILE_DEFINITIONS "KESTRUNE_SHARE_FROM_BINARY=\"${kestrune_share_from_binary}\"")
