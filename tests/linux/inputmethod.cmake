# Eisu and Kana against the real input methods (fcitx5 and IBus with Mozc and
# Anthy) under Xvfb, each case with its own X server, session bus and
# framework. A root run becomes nobody: Mozc refuses to run as root.
kestrune_add_test(test_linux_input_method
  SOURCES
    SystemTestSupport.h
    InputMethodTest.cpp
  LIBS kestrune_platform_linux
  LABELS linux)
target_compile_definitions(test_linux_input_method PRIVATE
  KESTRUNE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
