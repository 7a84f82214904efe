#pragma once
// Turns SIGINT, SIGTERM, SIGHUP and SIGQUIT into an ordinary quit of the
// event loop, so a terminal's Ctrl+C, a closed terminal or a session's logout
// takes the same termination path as quitting from the menu (with its reset).
// The terminal's stop signals (SIGTSTP, SIGTTIN, SIGTTOU) are ignored: a
// stopped Kestrune would freeze every keyboard. SIGSTOP cannot be refused;
// only a debugger or a deliberate kill -STOP sends it.

#include <QObject>

class QSocketNotifier;

namespace kestrune {

class SignalQuit : public QObject {
    Q_OBJECT
public:
    // Main thread, once. Returns false when the signals could not be routed.
    static bool install(QObject* parent);

private:
    explicit SignalQuit(QObject* parent);
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kestrune
