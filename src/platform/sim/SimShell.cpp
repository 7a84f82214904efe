#include "platform/sim/SimShell.h"

#include "platform/HidKeyMapping.h"

namespace kestrune {

SimShell::SimShell(SimTranscript& transcript)
    : transcript_(transcript)
{
}

void SimShell::run(const QString& commandLine)
{
    std::lock_guard lock(mutex_);
    commands_.append(commandLine);
    transcript_.add(QStringLiteral("shell ") + commandLine);
    if (const auto mapping = parseUserKeyMappingCommand(commandLine))
        capsToF19_.store(mapsCapsLockToF19(*mapping), std::memory_order_release);
}

bool SimShell::waitForIdle(Millis)
{
    return true;
}

QStringList SimShell::commands() const
{
    std::lock_guard lock(mutex_);
    return commands_;
}

} // namespace kestrune
