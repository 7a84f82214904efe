#pragma once
// Switching the input method between direct input (Eisu) and Japanese
// hiragana (Kana) as absolute switches. Where the platform has no way of its
// own (macOS, where the JIS keys are the system's own switches, or a Linux
// session with no input method to drive), request() says so and the engine
// posts the JIS key instead.
//
// Threads: request() from any thread, the tap thread included; everything
// else on the main thread.

#include <functional>

namespace kestrune {

enum class InputMode { eisu, kana };

class InputMethod {
public:
    virtual ~InputMethod() = default;
    // Any thread. Never blocks or allocates. False when no input method can
    // be driven now; the caller then posts the key.
    virtual bool request(InputMode mode) = 0;
    // Main thread. Told the mode each request reached, as the input method
    // reports it, for the heads-up display. Empty to stop.
    void setReachedHandler(std::function<void(InputMode)> handler) { reached_ = std::move(handler); }

protected:
    void reached(InputMode mode)
    {
        if (reached_)
            reached_(mode);
    }

private:
    std::function<void(InputMode)> reached_;
};

} // namespace kestrune
