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

# The real-kernel stage's scenarios on the pipe rig (the guest runs them in
# tests/vm/run.py).
kestrune_add_test(test_linux_kernel_scenarios
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/InputRig.h ${CMAKE_CURRENT_LIST_DIR}/KernelScenarioTest.cpp
  LIBS kestrune_linux_input_pipes kestrune_simkit
  LABELS threaded)
target_compile_definitions(test_linux_kernel_scenarios PRIVATE
  KESTRUNE_VM_SCENARIOS="${PROJECT_SOURCE_DIR}/tests/vm/scenarios")
