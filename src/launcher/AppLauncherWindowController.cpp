#include "launcher/AppLauncherWindowController.h"

#include <QCoreApplication>

namespace kestrune {

AppLauncherWindowController::AppLauncherWindowController(QQmlEngine& engine, QObject* parent)
    : QuickWindowController(engine,
                            {QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Launcher/AppLauncherSettingsView.qml")),
                             QStringLiteral(QT_TRANSLATE_NOOP("AppLauncherSettingsView", "App Launcher Settings")),
                             "AppLauncherSettingsView", {}, false},
                            parent)
{
}

} // namespace kestrune
