#pragma once
// The real engine (KeyRemapper) on the Linux tap over pipes: keyboards are
// PipeKeyboards, the virtual keyboard's output is read back as events. The
// rest of the platform is the sim backend on a virtual clock.
//
// Main thread drives. Waiting on the tap thread is by LinuxKeyboard::settle
// (a fence through its queue), with a generous guard that only a fault reaches.

#include "base/UserDefaults.h"
#include "base/VirtualScheduler.h"
#include "platform/linux/LinuxCapsLock.h"
#include "platform/linux/LinuxInputTrust.h"
#include "platform/linux/LinuxKeyboard.h"
#include "platform/linux/LinuxShellRunner.h"
#include "platform/linux/PipeLinuxPlatform.h"
#include "platform/sim/SimConsole.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"
#include "remapper/KeyRemapper.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <libevdev/libevdev.h>

#include <set>
#include <string>
#include <vector>

namespace kestrune::testing {

inline QCoreApplication& inputTestApp()
{
    static int argc = 1;
    static char name[] = "test_linux_input";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// "+KEY_C" for a press, "-KEY_C" for a release.
inline std::string keyText(const input_event& e)
{
    const char* name = libevdev_event_code_get_name(EV_KEY, e.code);
    return (e.value ? "+" : "-") + std::string(name ? name : "?");
}

struct InputRig : PipeLinuxPlatform {
    InputRig()
    {
        inputTestApp();
        defaults.setValue(QStringLiteral("singlePressConfig"), QStringLiteral("esc"));
    }
    ~InputRig()
    {
        if (remapper) {
            remapper->stop();
            remapper->waitForTapThreadSettled();
            remapper.reset();
        }
        scheduler.runDue();
    }

    // Builds the engine, starts it and lets the Caps Lock mapping apply.
    // Returns whether a tap is running.
    bool start()
    {
        if (!remapper)
            remapper = std::make_unique<KeyRemapper>(platform, KeyRemapper::Collaborators{});
        remapper->start();
        return settleStart();
    }
    bool settleStart()
    {
        remapper->waitForTapThreadSettled();
        scheduler.runDue();
        return remapper->hasEventTap() && keyboard.settle();
    }

    // Lets the tap thread handle everything sent so far and the main-queue
    // work that falls due, then returns what the virtual keyboard got.
    std::vector<std::string> out()
    {
        settle();
        return take();
    }
    void settle()
    {
        EXPECT_TRUE(keyboard.settle());
        scheduler.runDue();
        keyboard.settle();
    }
    void advance(Millis d)
    {
        keyboard.settle();
        scheduler.advanceBy(d);
        keyboard.settle();
    }

    // Reads the output, checking the virtual keyboard's invariants on the
    // way: every key event is followed by SYN_REPORT, no key is pressed while
    // held or released while up.
    std::vector<std::string> take()
    {
        std::vector<std::string> keys;
        const std::vector<input_event> events = io.takeOutput();
        for (size_t i = 0; i < events.size(); ++i) {
            const input_event& e = events[i];
            if (e.type != EV_KEY)
                continue;
            EXPECT_TRUE(i + 1 < events.size() && events[i + 1].type == EV_SYN && events[i + 1].code == SYN_REPORT)
                << keyText(e) << " without SYN_REPORT";
            EXPECT_NE(e.value, 2) << "repeats come from the kernel, not from the tap";
            if (e.value) {
                EXPECT_TRUE(held.insert(e.code).second) << keyText(e) << " while held";
            } else {
                EXPECT_EQ(held.erase(e.code), 1u) << keyText(e) << " while up";
            }
            keys.push_back(keyText(e));
        }
        return keys;
    }

    std::unique_ptr<KeyRemapper> remapper;
    std::set<uint16_t> held; // keys the virtual keyboard holds, from its output
};

using Keys = std::vector<std::string>;

// The Hyper modifiers as the virtual keyboard presses and releases them.
inline const Keys kHyperDown = {"+KEY_LEFTCTRL", "+KEY_LEFTALT", "+KEY_LEFTSHIFT", "+KEY_LEFTMETA"};
inline const Keys kHyperUp = {"-KEY_LEFTMETA", "-KEY_LEFTSHIFT", "-KEY_LEFTALT", "-KEY_LEFTCTRL"};

inline Keys join(std::initializer_list<Keys> parts)
{
    Keys all;
    for (const Keys& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace kestrune::testing
