#pragma once
// The Linux key path over pipes, with the simulated rest of the platform and
// a virtual clock: what the input tests and linux_path_bench run the engine
// on. Main thread; outlives any engine built on `platform`.

#include "base/UserDefaults.h"
#include "base/VirtualScheduler.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxCapsLock.h"
#include "platform/linux/LinuxInputTrust.h"
#include "platform/linux/LinuxKeyboard.h"
#include "platform/linux/LinuxShellRunner.h"
#include "platform/linux/PipeEvdevIo.h"
#include "platform/sim/SimConsole.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"

namespace kestrune {

struct PipeLinuxPlatform {
    // As the application wires it: nothing may stay held across a suspend.
    PipeLinuxPlatform()
    {
        wake.beforeSleep = [this] { keyboard.releaseAllForSleep(); };
    }
    PipeLinuxPlatform(const PipeLinuxPlatform&) = delete;
    PipeLinuxPlatform& operator=(const PipeLinuxPlatform&) = delete;

    VirtualScheduler scheduler;
    MemoryDefaults defaults;
    SimTranscript transcript{scheduler};
    SimConsole console{transcript};
    SimShell processShell{transcript};
    PipeEvdevIo io;
    CapsLockMapping mapping;
    LinuxKeyboard keyboard{io, mapping, &scheduler};
    LinuxShellRunner shell{mapping, processShell};
    LinuxCapsLock capsLock{keyboard};
    LinuxInputTrust trust{io};
    SimDevices devices;
    SimWake wake;
    SimSession session;
    SimWorkspace workspace{scheduler};
    SimLoginItem loginItem;
    SimUpdates updates;
    Platform platform{scheduler, defaults,  console,   keyboard, shell,   devices, wake,
                      trust,     capsLock,  workspace, loginItem, updates, &session, nullptr, &keyboard};
};

} // namespace kestrune
