#include "platform/sim/SimPlatform.h"

namespace kestrune {

SimPlatform::SimPlatform(const QString& defaultsDirectory)
    : ownedDefaults_(std::make_unique<FileDefaults>(defaultsDirectory, &console_))
    , defaults_(ownedDefaults_.get())
{
    settleAfterWork();
}

SimPlatform::SimPlatform(UserDefaults& defaults)
    : defaults_(&defaults)
{
    settleAfterWork();
}

void SimPlatform::settleAfterWork()
{
    // Main-queue work may post events or change the tap; letting the tap
    // thread finish after each item keeps the transcript the same every run.
    scheduler_.setAfterWorkHook([this] { keyboard_.waitIdle(); });
    // As on the real backend: nothing may stay held across a suspend.
    wake_.beforeSleep = [this] { keyboard_.resetTapState(); };
}

Platform SimPlatform::platform()
{
    return Platform{scheduler_, *defaults_, console_, keyboard_, shell_,     devices_,   wake_,
                    trust_,     capsLock_,  workspace_, loginItem_, updates_, &session_, nullptr, &keyboards_};
}

} // namespace kestrune
