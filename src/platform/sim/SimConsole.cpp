#include "platform/sim/SimConsole.h"

namespace kestrune {

SimConsole::SimConsole(SimTranscript& transcript)
    : transcript_(transcript)
{
}

void SimConsole::printLine(const QString& line)
{
    std::lock_guard lock(mutex_);
    // Held across the transcript write so both lists keep the same order.
    lines_.append(line);
    transcript_.add(QStringLiteral("print ") + line);
}

QStringList SimConsole::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

void SimConsole::clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
}

} // namespace kestrune
