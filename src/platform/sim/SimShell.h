#pragma once
// The simulator's shell: records each command line and keeps the Caps Lock →
// F19 mapping state that the HID mapping commands issued so far describe.

#include "base/Scheduler.h"
#include "platform/System.h"
#include "platform/sim/SimTranscript.h"

#include <QStringList>
#include <atomic>
#include <mutex>

namespace kestrune {

// Each command takes effect the moment run() is called, so the order of
// issue is the order of effect. The transcript must outlive the shell.
class SimShell final : public ShellRunner {
public:
    explicit SimShell(SimTranscript& transcript);

    // Main thread. Records "shell COMMAND"; a HID mapping command replaces the
    // mapping in force, any other line changes nothing.
    void run(const QString& commandLine) override;
    // Always true: nothing is ever left running.
    bool waitForIdle(Millis timeout) override;

    // Any thread.
    bool isCapsLockMappedToF19() const { return capsToF19_.load(std::memory_order_acquire); }
    // Any thread. Every command line issued so far, in order.
    QStringList commands() const;

private:
    SimTranscript& transcript_;
    mutable std::mutex mutex_;
    QStringList commands_;
    std::atomic<bool> capsToF19_{false};
};

} // namespace kestrune
