#pragma once
// Sparkle's standard updater, when the application bundle carries
// Sparkle.framework: it reads its feed, public key and schedule from the
// bundle's Info.plist and shows its own windows. Main thread (Sparkle's own
// rule).

#include "platform/System.h"

#include <memory>

namespace kestrune {

class SparkleUpdates final : public UpdateFramework {
public:
    // Loads Contents/Frameworks/Sparkle.framework from the main bundle. Null
    // when it is not there or does not load: the caller then keeps its own
    // feed check.
    static std::unique_ptr<SparkleUpdates> loadFromBundle();
    ~SparkleUpdates() override;

    // Creates the standard updater controller, starting the updater.
    void startUpdater() override;
    // A check the user asked for; nothing before startUpdater().
    void checkForUpdates() override;

    struct State;

private:
    explicit SparkleUpdates(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace kestrune
