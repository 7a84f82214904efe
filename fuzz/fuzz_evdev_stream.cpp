// Raw evdev events from a keyboard, through the Linux tap over pipes and the
// real engine. Whatever arrives, once every key is up again and the engine's
// timers have run out, the virtual keyboard holds nothing; and it never
// presses a key it holds or releases one that is up.
//
// Input, three bytes an operation (the first picks it):
//   key      a key from the table below: up, down or autorepeat
//   raw      any one event of the types a keyboard sends (no SYN_REPORT added)
//   wait     the virtual clock moves on up to two seconds
//   drain    the tap handles everything so far; the output is checked

#include "FuzzCheck.h"

#include "platform/linux/PipeLinuxPlatform.h"
#include "remapper/KeyRemapper.h"

#include <QCoreApplication>

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>

using namespace kestrune;

namespace {

constexpr std::array<uint16_t, 24> kKeys = {
    KEY_CAPSLOCK, KEY_LEFTMETA, KEY_RIGHTMETA, KEY_LEFTALT, KEY_RIGHTALT, KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_LEFTSHIFT,
    KEY_RIGHTSHIFT, KEY_H,      KEY_J,         KEY_K,       KEY_L,        KEY_A,        KEY_S,         KEY_D,
    KEY_F,         KEY_ESC,     KEY_SPACE,     KEY_MUHENKAN, KEY_HENKAN,  KEY_BACKSPACE, KEY_F19,      KEY_1};
constexpr std::array<uint16_t, 5> kTypes = {EV_KEY, EV_SYN, EV_MSC, EV_LED, EV_REP};

struct Rig : PipeLinuxPlatform {
    Rig()
    {
        defaults.setValue(QStringLiteral("singlePressConfig"), QStringLiteral("esc"));
        device = &io.addKeyboard("/dev/input/event-fuzz");
        remapper = std::make_unique<KeyRemapper>(platform, KeyRemapper::Collaborators{});
        remapper->start();
        remapper->waitForTapThreadSettled();
        scheduler.runDue();
        FUZZ_CHECK(remapper->hasEventTap() && keyboard.settle());
    }

    void settle()
    {
        FUZZ_CHECK(keyboard.settle());
        scheduler.runDue();
        FUZZ_CHECK(keyboard.settle());
    }

    void drain()
    {
        settle();
        for (const input_event& e : io.takeOutput()) {
            if (e.type != EV_KEY)
                continue;
            FUZZ_CHECK(e.value == 0 || e.value == 1);
            if (e.value)
                FUZZ_CHECK(held.insert(e.code).second); // pressed while held
            else
                FUZZ_CHECK(held.erase(e.code) == 1); // released while up
        }
    }

    void send(uint16_t type, uint16_t code, int value)
    {
        input_event e{};
        e.type = type;
        e.code = code;
        e.value = value;
        device->send({&e, 1});
        if (type == EV_KEY) {
            if (value)
                down.insert(code);
            else
                down.erase(code);
        }
    }

    PipeKeyboard* device = nullptr;
    std::unique_ptr<KeyRemapper> remapper;
    std::set<uint16_t> down; // keys the keyboard holds, as sent
    std::set<uint16_t> held; // keys the virtual keyboard holds, from its output
};

Rig* rig = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    rig = new Rig; // lives as long as the process: the tap thread runs throughout
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Rig& r = *rig;
    for (size_t i = 0; i + 3 <= size; i += 3) {
        const uint8_t op = data[i], a = data[i + 1], b = data[i + 2];
        switch (op % 8) {
        case 0: case 1: case 2: case 3: {
            const uint16_t code = kKeys[a % kKeys.size()];
            const int value = b % 3;
            r.device->key(code, value);
            if (value)
                r.down.insert(code);
            else
                r.down.erase(code);
            break;
        }
        case 4: case 5:
            r.send(kTypes[a % kTypes.size()], b, (a / kTypes.size()) % 3);
            break;
        case 6:
            r.settle();
            r.scheduler.advanceBy(Millis(a * 8));
            r.settle();
            break;
        default:
            r.drain();
            break;
        }
    }
    // Every key up, and long enough for any timer the engine started.
    const std::set<uint16_t> stillDown = r.down;
    for (uint16_t code : stillDown) {
        r.device->release(code);
        r.down.erase(code);
    }
    r.drain();
    for (int i = 0; i < 4; ++i) {
        r.scheduler.advanceBy(Millis(2500));
        r.drain();
    }
    FUZZ_CHECK(r.held.empty());
    return 0;
}
