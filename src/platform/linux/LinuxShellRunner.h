#pragma once
// The shell runner of the Linux backend. The Caps Lock → F19 mapping command
// lines (hidutil on macOS) are read here and applied in-process, by setting
// the mapping flag the tap reads; every other command line goes on to a
// real shell runner. Nothing is left behind when the process ends.
//
// Threads: as ShellRunner (run() on the main thread). The mapping and the
// fallback runner outlive this object.

#include "platform/System.h"
#include "platform/linux/CapsLockMapping.h"

namespace kestrune {

class LinuxShellRunner final : public ShellRunner {
public:
    LinuxShellRunner(CapsLockMapping& mapping, ShellRunner& fallback);

    void run(const QString& commandLine) override;
    bool waitForIdle(Millis timeout) override;

private:
    CapsLockMapping& mapping_;
    ShellRunner& fallback_;
};

} // namespace kestrune
