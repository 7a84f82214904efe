#include "style/PlatformWords.h"

#include "base/KeyNames.h"

#include <QCoreApplication>
#include <QEvent>

namespace kestrune {

PlatformWords::PlatformWords(QObject* parent) : QObject(parent)
{
    // Installing a translator sends LanguageChange to the application
    // object only; watching it is how a plain QObject hears of it.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

PlatformWords::~PlatformWords() = default;

bool PlatformWords::isMac() const { return keyNames().isMac(); }
QString PlatformWords::command() const { return keyNames().command(); }
QString PlatformWords::option() const { return keyNames().option(); }
QString PlatformWords::control() const { return keyNames().control(); }
QString PlatformWords::shift() const { return keyNames().shift(); }
QString PlatformWords::backspace() const { return keyNames().backspace; }
QString PlatformWords::forwardDelete() const { return keyNames().forwardDelete; }

bool PlatformWords::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && watched == QCoreApplication::instance())
        emit languageChanged();
    return QObject::eventFilter(watched, event);
}

} // namespace kestrune
