#include "app/AppDelegate.h"

#include "base/ConsoleWords.h"
#include "platform/HidKeyMapping.h"
#include "remapper/KeyRemapper.h"
#include "system/PermissionManager.h"

#include <QPointer>

namespace kestrune {

namespace {
// Long enough for the reset command to run, short enough that a quit never
// feels stuck.
constexpr Millis kResetWait{1000};
} // namespace

AppDelegate::AppDelegate(Platform& platform, KeyRemapper& remapper, PermissionManager& permissions, Hooks hooks,
                         QObject* parent)
    : QObject(parent), platform_(platform), remapper_(remapper), permissions_(permissions), hooks_(std::move(hooks))
{
}

void AppDelegate::applicationDidFinishLaunching()
{
    const bool hasSeenOnboarding =
        platform_.defaults.boolValue(QStringLiteral("hasSeenOnboarding")).value_or(false);
    if (!hasSeenOnboarding && hooks_.showWelcomeWindow) {
        QPointer<AppDelegate> self(this);
        platform_.scheduler.post([self] {
            if (self && self->hooks_.showWelcomeWindow)
                self->hooks_.showWelcomeWindow();
        });
    }
    remapper_.start();
    permissions_.checkPermission();
    if (hooks_.createUpdater)
        hooks_.createUpdater();
}

void AppDelegate::applicationWillTerminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    platform_.shell.run(kResetMappingCommand);
    platform_.console.printLine(consoleWords::quitting());
    platform_.shell.waitForIdle(kResetWait);
}

} // namespace kestrune
