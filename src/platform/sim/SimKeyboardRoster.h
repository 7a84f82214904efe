#pragma once
// The keyboards of the simulated machine: plugged and unplugged by the
// driver, remapped as the last choices given say. Main thread.

#include "platform/KeyboardRoster.h"

namespace kestrune {

class SimKeyboardRoster final : public KeyboardRoster {
public:
    std::vector<PresentKeyboard> keyboards() const override;
    void setChoices(const KeyboardChoices& choices) override;

    // Driver. The keyboards present from now on; `changed` runs.
    void setPresent(std::vector<KeyboardIdentity> keyboards);
    void plug(const KeyboardIdentity& keyboard);
    void unplug(const std::string& name);
    const KeyboardChoices& choices() const { return choices_; }
    // How many times choices were given.
    int choicesGiven() const { return choicesGiven_; }

private:
    std::vector<KeyboardIdentity> present_;
    KeyboardChoices choices_;
    int choicesGiven_ = 0;
};

} // namespace kestrune
