#pragma once
// Accessibility trust: whether the process may observe and rewrite keyboard
// events, the system's prompt, and the Accessibility pane of System
// Settings.

#include "platform/System.h"

namespace kestrune {

class MacTrust final : public AccessibilityTrust {
public:
    inline static const char* const kAccessibilityPaneUrl =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

    // Any thread; never prompts.
    bool isTrusted() const override;
    // Main thread. Asks the system to show its prompt when untrusted (the
    // prompt comes asynchronously; the answer is the state now).
    bool requestTrust() override;
    // Main thread.
    void openTrustSettings() override;
};

} // namespace kestrune
