# The Linux key path per event, pipe in to pipe out, through the real tap
# thread and engine (see linux_path_bench.cpp).
if(TARGET kestrune_linux_input_pipes)
  add_executable(linux_path_bench ${CMAKE_CURRENT_LIST_DIR}/linux_path_bench.cpp)
  target_link_libraries(linux_path_bench PRIVATE
    kestrune_linux_input_pipes kestrune_remapper kestrune_platform_sim benchmark::benchmark)
endif()
