# Long seeded random sessions on the engine over the sim backend.
# KESTRUNE_RANDOM_SEED and KESTRUNE_RANDOM_EVENTS override the seed and size.
kestrune_add_test(test_remapper_random
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RandomizedTest.cpp
  LIBS kestrune_simkit
  LABELS threaded)
