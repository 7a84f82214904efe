# The Linux key path: the real engine on the evdev/uinput tap over pipes,
# the key table and the in-process Caps Lock mapping.
kestrune_add_test(test_linux_input
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/InputRig.h
    ${CMAKE_CURRENT_LIST_DIR}/InputTranslationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputTapTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputFaultTest.cpp
  LIBS kestrune_linux_input_pipes kestrune_remapper kestrune_platform_sim
  LABELS threaded)
