# The key engine's cost per event: KeyRemapper::handleEvent on a fixed
# typing workload, with heap allocations counted.
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(engine_bench PRIVATE
  kestrune_remapper kestrune_platform_sim benchmark::benchmark)
