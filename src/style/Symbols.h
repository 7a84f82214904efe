#pragma once
// Symbols: the symbol names the views use ("capslock.fill", "info.circle",
// …) mapped to glyphs of the Material Icons font (QML singleton `Symbols`;
// draw the text in Theme.symbolFamily).

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class Symbols : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // The glyph for a symbol name; empty for a name the table lacks.
    Q_INVOKABLE static QString glyph(const QString& name);
    static QStringList names();
};

} // namespace kestrune
