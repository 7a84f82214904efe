#pragma once
// Turns SIGINT and SIGTERM into an ordinary quit of the event loop, so a
// terminal's Ctrl+C or a session's logout takes the same termination path as
// quitting from the menu.

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
