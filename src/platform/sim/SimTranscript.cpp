#include "platform/sim/SimTranscript.h"

namespace kestrune {

SimTranscript::SimTranscript(const Scheduler& clock)
    : clock_(clock)
{
}

void SimTranscript::add(const QString& text)
{
    std::lock_guard lock(mutex_);
    // Stamped under the lock so that lines read in clock order even when
    // several threads add at once.
    const QString line = QString::number(clock_.now().count()) + QLatin1Char(' ') + text;
    lines_.append(line);
    if (echo_)
        echo_(line);
}

QStringList SimTranscript::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

void SimTranscript::clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
}

void SimTranscript::setEcho(Echo echo)
{
    std::lock_guard lock(mutex_);
    echo_ = std::move(echo);
}

QString SimTranscript::formatModifiers(uint64_t flags)
{
    static constexpr std::pair<uint64_t, const char*> kNames[] = {
        {flags::kCommand, "cmd"}, {flags::kOption, "opt"}, {flags::kControl, "ctrl"}, {flags::kShift, "shift"}};
    QString text;
    for (const auto& [bit, name] : kNames) {
        if (!(flags & bit))
            continue;
        if (!text.isEmpty())
            text += QLatin1Char('+');
        text += QLatin1String(name);
    }
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QString SimTranscript::formatEvent(const KeyEvent& event)
{
    QString kind;
    switch (event.type) {
    case EventType::KeyDown: kind = QStringLiteral("down"); break;
    case EventType::KeyUp: kind = QStringLiteral("up"); break;
    case EventType::FlagsChanged: kind = QStringLiteral("flags"); break;
    default: kind = QStringLiteral("type%1").arg(static_cast<uint32_t>(event.type)); break;
    }
    QString text = QStringLiteral("out %1 %2 %3").arg(kind, QString::number(event.keyCode), formatModifiers(event.flags));
    if (isOwnEvent(event.userData))
        text += QStringLiteral(" synthetic");
    return text;
}

} // namespace kestrune
