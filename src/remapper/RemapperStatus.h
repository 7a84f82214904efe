#pragma once
// Whether remapping works, is paused by the user, or cannot work, and why,
// in the words the status dot and the tray icon show. Derived from the
// remapper alone: its isEnabled setting, its tap, its wait for input access
// and its session. Main thread; owned by the KeyRemapper it describes.

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class KeyRemapper;

class RemapperStatus : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by KeyRemapper")
    Q_PROPERTY(State state READ state NOTIFY changed)
    Q_PROPERTY(Reason reason READ reason NOTIFY changed)
    Q_PROPERTY(QString summary READ summary NOTIFY changed)
    Q_PROPERTY(QString detail READ detail NOTIFY changed)
    Q_PROPERTY(QString actionText READ actionText NOTIFY changed)
    Q_PROPERTY(QString toolTip READ toolTip NOTIFY changed)
    Q_PROPERTY(bool showsTapNotice READ showsTapNotice NOTIFY changed)

public:
    enum State { Working, Paused, NotWorking };
    Q_ENUM(State)
    enum Reason {
        NoReason,
        PausedByUser,
        PausedByEmergency, // the emergency chord was held
        NoInputAccess,   // the process may not read the keyboard
        TapFailed,       // access is there, but the tap could not be made
        SessionInactive, // another login session is in front
    };
    Q_ENUM(Reason)

    explicit RemapperStatus(KeyRemapper& remapper, QObject* parent = nullptr);

    State state() const { return state_; }
    Reason reason() const { return reason_; }
    // "Kestrune is working", "… is paused", "… is not working".
    QString summary() const;
    // Why, and what to do about it; empty while working.
    QString detail() const;
    // What a click on the status dot does: "Pause Kestrune" or "Resume Kestrune".
    QString actionText() const;
    // summary, detail and action, one per line.
    QString toolTip() const;
    // The tap failure the panel shows as a notice of its own (a missing
    // access has its own card with "Fix").
    bool showsTapNotice() const { return reason_ == TapFailed; }

    // Pauses a working (or not working) remapper, resumes a paused one.
    Q_INVOKABLE void togglePaused();

signals:
    void changed();

private:
    void update();

    KeyRemapper& remapper_;
    State state_ = Working;
    Reason reason_ = NoReason;
    QString failure_;
};

} // namespace kestrune
