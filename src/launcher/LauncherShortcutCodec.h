#pragma once
// The launcher's shortcuts as stored in the user defaults: a compact JSON
// array of {"id","keyCode","appURL","appName"}. Any thread.

#include "launcher/LauncherShortcut.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kestrune {

struct ShortcutDecodeResult {
    QList<LauncherShortcut> shortcuts;
    QString error; // empty on success
};

// Reads the stored array. Every record needs "keyCode", "appURL" and
// "appName"; "id" may be absent (older data) and then gets a fresh one.
// Other keys are ignored. Any failure rejects the whole list, with the reason.
ShortcutDecodeResult decodeShortcuts(const QByteArray& data);

QByteArray encodeShortcuts(const QList<LauncherShortcut>& shortcuts);

// The URL stored text names, in the form encoding it keeps: decoding what
// encodeShortcuts wrote gives the same URL again.
QUrl storableAppUrl(const QString& text);

} // namespace kestrune
