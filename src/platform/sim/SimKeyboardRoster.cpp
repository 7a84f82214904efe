#include "platform/sim/SimKeyboardRoster.h"

#include <algorithm>

namespace kestrune {

std::vector<PresentKeyboard> SimKeyboardRoster::keyboards() const
{
    std::vector<PresentKeyboard> roster = rosterOf(present_);
    for (PresentKeyboard& keyboard : roster)
        keyboard.remapped = choices_.remaps(keyboard);
    return roster;
}

void SimKeyboardRoster::setChoices(const KeyboardChoices& choices)
{
    ++choicesGiven_;
    const bool differs = !(choices == choices_);
    choices_ = choices;
    if (differs && changed)
        changed();
}

void SimKeyboardRoster::setPresent(std::vector<KeyboardIdentity> keyboards)
{
    present_ = std::move(keyboards);
    if (changed)
        changed();
}

void SimKeyboardRoster::plug(const KeyboardIdentity& keyboard)
{
    present_.push_back(keyboard);
    if (changed)
        changed();
}

void SimKeyboardRoster::unplug(const std::string& name)
{
    std::erase_if(present_, [&](const KeyboardIdentity& k) { return k.name == name; });
    if (changed)
        changed();
}

} // namespace kestrune
