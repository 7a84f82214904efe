# The input service: its protocol, and its core on the pipe rig with a mock
# logind on a private bus and a real socket. Not labelled "threaded": Qt
# D-Bus's own threads lock in ways ThreadSanitizer cannot see (the tap
# thread's part is the one the input tests run under it).
kestrune_add_test(test_linux_input_service
  SOURCES
    SystemTestSupport.h
    MockLogind.h
    InputServiceProtocolTest.cpp
    InputServiceTest.cpp
  LIBS kestrune_inputd kestrune_service_link kestrune_linux_input_pipes kestrune_platform_sim
  LABELS linux)
target_compile_definitions(test_linux_input_service PRIVATE KESTRUNE_DBUSMOCK_PYTHON="${KESTRUNE_DBUSMOCK_PYTHON}")
