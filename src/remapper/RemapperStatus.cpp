#include "remapper/RemapperStatus.h"

#include "remapper/KeyRemapper.h"

namespace kestrune {

RemapperStatus::RemapperStatus(KeyRemapper& remapper, QObject* parent) : QObject(parent), remapper_(remapper)
{
    connect(&remapper_, &KeyRemapper::isEnabledChanged, this, &RemapperStatus::update);
    connect(&remapper_, &KeyRemapper::tapStateChanged, this, &RemapperStatus::update);
    update();
}

void RemapperStatus::update()
{
    State state = Working;
    Reason reason = NoReason;
    QString failure;
    if (!remapper_.isEnabled()) {
        state = Paused;
        reason = remapper_.wasPausedByEmergency() ? PausedByEmergency : PausedByUser;
    } else if (remapper_.hasEventTap()) {
        // Working, whatever happened before.
    } else if (!remapper_.isSessionActive()) {
        state = NotWorking;
        reason = SessionInactive;
    } else if (remapper_.isPollingForTrust()) {
        state = NotWorking;
        reason = NoInputAccess;
    } else if (remapper_.hasTapFailed()) {
        state = NotWorking;
        reason = TapFailed;
        failure = remapper_.tapFailureReason();
    }
    // Otherwise the tap is being made, which takes a moment: shown as
    // working, so that neither a launch nor a resume flashes a failure.
    if (state == state_ && reason == reason_ && failure == failure_)
        return;
    state_ = state;
    reason_ = reason;
    failure_ = failure;
    emit changed();
}

QString RemapperStatus::summary() const
{
    switch (state_) {
    case Paused:
        return tr("Kestrune is paused");
    case NotWorking:
        return tr("Kestrune is not working");
    case Working:
        break;
    }
    return tr("Kestrune is working");
}

QString RemapperStatus::detail() const
{
    switch (reason_) {
    case PausedByUser:
        return tr("Keys behave as usual until you resume it.");
    case PausedByEmergency:
        return tr("You held %1 together: every key was released and the keyboards let go. Keys behave as usual "
                  "until you resume it.")
            .arg(KeyRemapper::emergencyChordText());
    case NoInputAccess:
        return tr("It may not read the keyboard. Choose \"Fix\" in the panel to grant access.");
    case TapFailed: {
        const QString next = tr("It tries again by itself; if this lasts, reconnect the keyboard or restart Kestrune.");
        // The reason comes from the system layer, already a sentence.
        return failure_.isEmpty() ? tr("It could not start reading the keyboard.") + QLatin1Char(' ') + next
                                  : failure_ + QLatin1Char(' ') + next;
    }
    case SessionInactive:
        return tr("Another login session is in front; it resumes when you return to this one.");
    case NoReason:
        break;
    }
    return {};
}

QString RemapperStatus::actionText() const
{
    return state_ == Paused ? tr("Resume Kestrune") : tr("Pause Kestrune");
}

QString RemapperStatus::toolTip() const
{
    QStringList lines{summary()};
    if (const QString d = detail(); !d.isEmpty())
        lines << d;
    lines << actionText();
    return lines.join(QLatin1Char('\n'));
}

void RemapperStatus::togglePaused()
{
    remapper_.setIsEnabled(!remapper_.isEnabled());
}

} // namespace kestrune
