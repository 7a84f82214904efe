# The key path of the Linux backend: the evdev/uinput event tap, the key
# translation, the in-process Caps Lock mapping, the Caps Lock state and
# input-access trust. Built as a library of its own, linked into
# kestrune_platform_linux, so its tests need none of the desktop parts.
pkg_check_modules(KESTRUNE_INPUT_EVDEV REQUIRED IMPORTED_TARGET libevdev)
pkg_check_modules(KESTRUNE_INPUT_UDEV REQUIRED IMPORTED_TARGET libudev)

add_library(kestrune_linux_input STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CapsLockMapping.h
  ${CMAKE_CURRENT_LIST_DIR}/EvdevIo.h
  ${CMAKE_CURRENT_LIST_DIR}/EvdevKeyTable.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibevdevIo.h
  ${CMAKE_CURRENT_LIST_DIR}/LibevdevIo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxCapsLock.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxInputTrust.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxInputTrust.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxKeyboard.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxTap.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxTap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxShellRunner.h
  ${CMAKE_CURRENT_LIST_DIR}/LinuxShellRunner.cpp)
target_link_libraries(kestrune_linux_input
  PUBLIC kestrune_platform PkgConfig::KESTRUNE_INPUT_EVDEV
  PRIVATE PkgConfig::KESTRUNE_INPUT_UDEV)
target_link_libraries(kestrune_platform_linux PUBLIC kestrune_linux_input)

# Pipes in place of the devices, for the tests and the benchmark; never
# linked into the application.
add_library(kestrune_linux_input_pipes STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PipeEvdevIo.h
  ${CMAKE_CURRENT_LIST_DIR}/PipeEvdevIo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PipeLinuxPlatform.h)
target_link_libraries(kestrune_linux_input_pipes PUBLIC kestrune_linux_input kestrune_platform_sim)
