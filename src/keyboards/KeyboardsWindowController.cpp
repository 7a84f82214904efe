#include "keyboards/KeyboardsWindowController.h"

#include "keyboards/KeyboardsModel.h"

#include <QCoreApplication>

namespace kestrune {

KeyboardsWindowController::KeyboardsWindowController(QQmlEngine& engine, KeyboardsModel& keyboards, QObject* parent)
    : QuickWindowController(engine,
                            {QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Keyboards/KeyboardsView.qml")),
                             QStringLiteral(QT_TRANSLATE_NOOP("KeyboardsView", "Keyboards")), "KeyboardsView",
                             {{QStringLiteral("keyboards"), QVariant::fromValue<QObject*>(&keyboards)}}, false},
                            parent)
{
}

} // namespace kestrune
