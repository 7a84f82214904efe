#pragma once
// The Linux backend assembled for the application: evdev/uinput tap,
// in-process Caps Lock mapping, udev, logind, the session's route to the
// active window (X11, GNOME Shell, KWin, sway) and GIO, XDG autostart;
// the update check is the application's (it needs the QML engine).
// Main thread. Owns every piece and outlives every model built on them.

#include "base/Console.h"
#include "base/UserDefaults.h"
#include "platform/Platform.h"
#include "platform/linux/CapsLockMapping.h"
#include "platform/linux/InputServiceClient.h"
#include "platform/linux/LibevdevIo.h"
#include "platform/linux/LinuxCapsLock.h"
#include "platform/linux/LinuxInputMethod.h"
#include "platform/linux/LinuxInputTrust.h"
#include "platform/linux/LinuxKeyboard.h"
#include "platform/linux/LinuxShellRunner.h"
#include "platform/linux/LogindSession.h"
#include "platform/linux/LogindWakeNotifier.h"
#include "platform/linux/UdevDeviceMonitor.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/XdgAutostartLoginItem.h"
#include "platform/posix/ProcessShellRunner.h"

#include <functional>
#include <memory>

namespace kestrune {

// An installed file, from its path relative to the installed executable's
// folder (e.g. "../share/doc/kestrune"). Needs the application object.
QString installedPath(const char* fromBinary);
// The README (its Linux section explains input access), as installed with
// this executable; "Fix" opens it and --help names it.
QString installedReadme();

class LinuxBackend {
public:
    // `updates` outlives the backend.
    LinuxBackend(Scheduler& scheduler, UserDefaults& defaults, Console& console, UpdateFramework& updates);
    Platform platform();
    // What "Fix" does while input access is refused; unset, it points to
    // the installed README.
    void setGrantAction(std::function<void()> action) { grantAction_ = std::move(action); }
    EvdevIo& io() { return io_; }
    // What the L/R card's help says of Eisu and Kana.
    QObject* inputMethodStatus() { return &inputMethod_; }
    LinuxInputMethod& inputMethod() { return inputMethod_; }
    // The input service this application is the client of; null when it
    // reads the keyboards itself.
    InputServiceClient* inputService() { return service_.get(); }
    // Where the input service listens, when this application is to be its
    // client: when KESTRUNE_INPUT_SERVICE names a socket, or when the
    // service was installed with this executable or is listening. Empty
    // when KESTRUNE_INPUT_SERVICE is "off", or with no service.
    static QString inputServiceSocket();

private:
    Scheduler& scheduler_;
    UserDefaults& defaults_;
    Console& console_;
    UpdateFramework& updates_;
    LibevdevIo io_;
    CapsLockMapping mapping_;
    ProcessShellRunner processShell_;
    LinuxShellRunner shell_{mapping_, processShell_};
    LinuxKeyboard keyboard_{io_, mapping_, &scheduler_};
    LinuxCapsLock capsLock_{keyboard_};
    std::unique_ptr<LinuxWorkspace> workspace_;
    LinuxInputTrust trust_;
    UdevDeviceMonitor devices_;
    LogindWakeNotifier wake_;
    LogindSession session_;
    XdgAutostartLoginItem loginItem_;
    LinuxInputMethod inputMethod_;
    std::function<void()> grantAction_;
    std::unique_ptr<InputServiceClient> service_;
    std::unique_ptr<ServiceKeyboard> serviceKeyboard_;
    std::unique_ptr<ServiceKeyboardRoster> serviceRoster_;
    std::unique_ptr<ServiceTrust> serviceTrust_;
};

} // namespace kestrune
