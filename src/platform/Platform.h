#pragma once
// Everything a backend provides, gathered for the composition root. The
// backend owns the pieces and outlives every model built on them.

#include "base/Console.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "platform/EventTap.h"
#include "platform/InputMethod.h"
#include "platform/KeyboardRoster.h"
#include "platform/System.h"

namespace kestrune {

struct Platform {
    Scheduler& scheduler;
    UserDefaults& defaults;
    Console& console;
    KeyboardEvents& keyboard;
    ShellRunner& shell;
    DeviceMonitor& devices;
    WakeNotifier& wake;
    AccessibilityTrust& trust;
    CapsLockState& capsLock;
    Workspace& workspace;
    LoginItem& loginItem;
    UpdateFramework& updates;
    // Null where the system itself keeps other sessions' keys from us (a
    // macOS session tap sees only its own console session's events).
    SessionMonitor* session = nullptr;
    // Null where the JIS keys themselves switch the input mode (macOS) and
    // in the simulator.
    InputMethod* inputMethod = nullptr;
    // Null where the system cannot tell keyboards apart (a macOS event tap):
    // there is no Keyboards window.
    KeyboardRoster* keyboards = nullptr;
};

} // namespace kestrune
