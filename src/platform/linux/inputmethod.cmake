# Eisu and Kana through the session's input method (fcitx5, IBus) over
# D-Bus.
target_sources(kestrune_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DBusCall.h
  ${CMAKE_CURRENT_LIST_DIR}/Fcitx5Switch.h
  ${CMAKE_CURRENT_LIST_DIR}/Fcitx5Switch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IBusSwitch.h
  ${CMAKE_CURRENT_LIST_DIR}/IBusSwitch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxInputMethod.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxInputMethod.cpp)
