#pragma once
// The sim backend assembled: a virtual clock, scripted input, and a
// transcript of everything that reaches the outside.
//
// Main thread. Owns every piece; it must outlive every model built on
// platform() and every tap its keyboard created.

#include "base/FileDefaults.h"
#include "base/VirtualScheduler.h"
#include "platform/Platform.h"
#include "platform/sim/SimConsole.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimKeyboardRoster.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"

#include <memory>

namespace kestrune {

class SimPlatform {
public:
    // Defaults stored in `defaultsDirectory`/settings.json.
    explicit SimPlatform(const QString& defaultsDirectory);
    // Defaults in a store the caller owns, which must outlive this.
    explicit SimPlatform(UserDefaults& defaults);

    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    Platform platform();

    VirtualScheduler& scheduler() { return scheduler_; }
    SimTranscript& transcript() { return transcript_; }
    UserDefaults& defaults() { return *defaults_; }
    SimConsole& console() { return console_; }
    SimShell& shell() { return shell_; }
    SimTrust& trust() { return trust_; }
    SimKeyboard& keyboard() { return keyboard_; }
    SimKeyboardRoster& keyboards() { return keyboards_; }
    SimDevices& devices() { return devices_; }
    SimWake& wake() { return wake_; }
    SimSession& session() { return session_; }
    SimCapsLock& capsLock() { return capsLock_; }
    SimWorkspace& workspace() { return workspace_; }
    SimLoginItem& loginItem() { return loginItem_; }
    SimUpdates& updates() { return updates_; }

private:
    void settleAfterWork();

    VirtualScheduler scheduler_;
    SimTranscript transcript_{scheduler_};
    SimConsole console_{transcript_};
    std::unique_ptr<FileDefaults> ownedDefaults_; // after the console it reports to
    UserDefaults* defaults_;
    SimShell shell_{transcript_};
    SimTrust trust_;
    SimKeyboard keyboard_{transcript_, shell_, trust_};
    SimKeyboardRoster keyboards_;
    SimDevices devices_;
    SimWake wake_;
    SimSession session_;
    SimCapsLock capsLock_{transcript_};
    SimWorkspace workspace_{scheduler_};
    SimLoginItem loginItem_;
    SimUpdates updates_;
};

} // namespace kestrune
