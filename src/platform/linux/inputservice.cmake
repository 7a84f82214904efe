# The input service's socket protocol: a library of its own, so that its
# fuzz target builds without the rest of the backend.
add_library(kestrune_inputd_protocol STATIC
  ${CMAKE_CURRENT_LIST_DIR}/InputServiceProtocol.h
  ${CMAKE_CURRENT_LIST_DIR}/InputServiceProtocol.cpp)
target_include_directories(kestrune_inputd_protocol PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kestrune_inputd_protocol PUBLIC Qt6::Core kestrune_keyboard_roster)
target_link_libraries(kestrune_platform_linux PUBLIC kestrune_inputd_protocol)

# The application's side: the connection and the tap and access that stand
# for the service.
target_sources(kestrune_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/InputServiceClient.h
  ${CMAKE_CURRENT_LIST_DIR}/InputServiceClient.cpp)
target_link_libraries(kestrune_platform_linux PUBLIC Qt6::Network)

# GCC 12 at -O2 with the sanitizers takes the move of a std::variant holding
# a QString or a vector for a read of uninitialised memory (a known false
# positive of that compiler); -Werror would stop the build on it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/InputServiceProtocol.cpp
    PROPERTIES COMPILE_OPTIONS -Wno-maybe-uninitialized)
endif()
