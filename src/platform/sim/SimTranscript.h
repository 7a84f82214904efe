#pragma once
// The simulator's transcript: one line per observable effect, stamped with
// the scheduler's clock ("1200 out down 80 cmd+opt+ctrl+shift").

#include "base/Scheduler.h"
#include "platform/KeyEvent.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>

namespace kestrune {

// Thread-safe. The clock must outlive the transcript.
class SimTranscript {
public:
    using Echo = std::function<void(const QString& line)>;

    explicit SimTranscript(const Scheduler& clock);

    // Any thread. Stores "T text", T being clock.now() in whole milliseconds.
    void add(const QString& text);
    QStringList lines() const;
    void clear();

    // Any thread. Every line added afterwards is also passed to `echo`, in
    // transcript order, under the transcript's lock: the echo must not call
    // back into the transcript. An empty function stops echoing.
    void setEcho(Echo echo);

    // "out down CODE MODS", "out up CODE MODS" or "out flags CODE MODS"; MODS is
    // cmd+opt+ctrl+shift (those present, in that order) or "-"; " synthetic" is
    // appended to events carrying the self-generated marker.
    static QString formatEvent(const KeyEvent& event);
    static QString formatModifiers(uint64_t flags);

private:
    const Scheduler& clock_;
    mutable std::mutex mutex_;
    QStringList lines_;
    Echo echo_;
};

} // namespace kestrune
