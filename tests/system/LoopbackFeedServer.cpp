#include "system/FeedUpdateChecker.h"

// Defined here, in the tests' own code, and nowhere the application links:
// only a test can let a checker speak plain http to this machine.
kestrune::LoopbackHttpForTests::LoopbackHttpForTests() = default;
