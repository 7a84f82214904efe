#include "platform/linux/KeyOutput.h"

#include "platform/linux/EvdevKeyTable.h"

namespace kestrune {

namespace {
constexpr size_t kCapacity = 1024;
// Releases go Meta, Shift, Alt, Ctrl; presses the other way round, so the
// modifier a desktop treats specially on its own (Meta) is the innermost.
constexpr std::array<int, 8> kReleaseOrder = {7, 6, 5, 4, 3, 2, 1, 0};
constexpr std::array<int, 8> kPressOrder = {0, 1, 2, 3, 4, 5, 6, 7};
} // namespace

KeyOutput::KeyOutput()
{
    pending_.reserve(kCapacity);
}

void KeyOutput::setPhysicalModifier(int index, bool down)
{
    if (index < 0 || index >= evdev::kModifierKeyCount)
        return;
    uint8_t& count = physicalCount_[static_cast<size_t>(index)];
    if (down)
        ++count;
    else if (count > 0)
        --count;
    const uint8_t bit = static_cast<uint8_t>(1u << index);
    physical_ = count > 0 ? (physical_ | bit) : (physical_ & ~bit);
}

uint64_t KeyOutput::physicalFlags() const
{
    return evdev::flagsForModifiers(physical_);
}

uint8_t KeyOutput::targetFor(uint64_t flags) const
{
    uint8_t target = 0;
    for (size_t g = 0; g < evdev::kGroupFlags.size(); ++g) {
        if (!(flags & evdev::kGroupFlags[g]))
            continue;
        const uint8_t group = static_cast<uint8_t>(0b11u << (2 * g));
        const uint8_t held = physical_ & group;
        target |= held ? held : static_cast<uint8_t>(0b01u << (2 * g)); // left by default
    }
    return target;
}

void KeyOutput::syncModifiers(uint8_t target)
{
    if (target == virtual_)
        return;
    for (int i : kReleaseOrder)
        if ((virtual_ & (1u << i)) && !(target & (1u << i)))
            write(evdev::kModifierKeys[static_cast<size_t>(i)], false);
    for (int i : kPressOrder)
        if (!(virtual_ & (1u << i)) && (target & (1u << i)))
            write(evdev::kModifierKeys[static_cast<size_t>(i)], true);
}

void KeyOutput::keyDown(int code, uint64_t flags)
{
    if (code <= 0 || code >= KEY_CNT || down_[static_cast<size_t>(code)])
        return; // held already: the kernel repeats it
    if (evdev::modifierIndex(static_cast<unsigned>(code)) >= 0) {
        raw(code, true);
        return;
    }
    const uint8_t target = targetFor(flags);
    syncModifiers(target);
    write(code, true);
    anchor_ = target != physical_ ? code : -1;
}

void KeyOutput::keyUp(int code)
{
    if (code <= 0 || code >= KEY_CNT || !down_[static_cast<size_t>(code)])
        return;
    write(code, false);
    if (code == anchor_) {
        anchor_ = -1;
        syncModifiers(physical_);
    }
}

void KeyOutput::raw(int code, bool down)
{
    if (code <= 0 || code >= KEY_CNT || down_[static_cast<size_t>(code)] == down)
        return;
    write(code, down);
}

bool KeyOutput::tap(int code)
{
    if (code <= 0 || code >= KEY_CNT || down_[static_cast<size_t>(code)])
        return false;
    write(code, true);
    write(code, false);
    return true;
}

void KeyOutput::releaseAll()
{
    anchor_ = -1;
    for (size_t code = 1; code < down_.size(); ++code)
        if (down_[code] && evdev::modifierIndex(static_cast<unsigned>(code)) < 0)
            write(static_cast<int>(code), false);
    syncModifiers(0);
}

void KeyOutput::write(int code, bool down)
{
    reserve(2);
    pending_.push_back(input_event{{}, EV_KEY, static_cast<uint16_t>(code), down ? 1 : 0});
    pending_.push_back(input_event{{}, EV_SYN, SYN_REPORT, 0});
    down_[static_cast<size_t>(code)] = down;
    if (const int m = evdev::modifierIndex(static_cast<unsigned>(code)); m >= 0) {
        const uint8_t bit = static_cast<uint8_t>(1u << m);
        virtual_ = down ? (virtual_ | bit) : (virtual_ & ~bit);
    }
}

void KeyOutput::reserve(size_t events)
{
    if (pending_.size() + events > pending_.capacity())
        flush();
}

void KeyOutput::flush()
{
    if (pending_.empty())
        return;
    if (device_)
        device_->write(pending_);
    pending_.clear();
}

} // namespace kestrune
