#pragma once
// Turns SIGINT, SIGTERM, SIGHUP and SIGQUIT into an ordinary quit of the
// event loop, so a terminal's Ctrl+C, a closed terminal or a session's logout
// takes the same termination path as quitting from the menu (with its reset).
// A second quit signal gives that path a grace period, then ends the process
// whatever holds it (a hung tap thread): the kernel lets go of the grabbed
// keyboards and releases every key the virtual keyboard held.
// The terminal's stop signals (SIGTSTP, SIGTTIN, SIGTTOU) are ignored: a
// stopped Kestrune would freeze every keyboard. SIGSTOP cannot be refused;
// only a debugger or a deliberate kill -STOP sends it.

#include <QObject>

#include <chrono>

class QSocketNotifier;

namespace kestrune {

class SignalQuit : public QObject {
    Q_OBJECT
public:
    // How long the orderly quit may still take once a second quit signal came.
    static constexpr std::chrono::milliseconds kOrderlyQuitGrace{3000};

    // Main thread, once. Returns false when the signals could not be routed.
    // After the grace the process exits with 128 + the second signal's
    // number, as a shell reports a process a signal ended.
    static bool install(QObject* parent, std::chrono::milliseconds orderlyQuitGrace = kOrderlyQuitGrace);

private:
    explicit SignalQuit(QObject* parent);
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kestrune
