#include "exclusions/AppExclusionWindowController.h"

#include <QCoreApplication>

namespace kestrune {

AppExclusionWindowController::AppExclusionWindowController(QQmlEngine& engine, QObject* parent)
    : QuickWindowController(engine,
                            {QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Exclusions/AppExclusionSettingsView.qml")),
                             QStringLiteral(QT_TRANSLATE_NOOP("AppExclusionSettingsView", "App-Specific Exclusions")),
                             "AppExclusionSettingsView", {}, false},
                            parent)
{
}

} // namespace kestrune
