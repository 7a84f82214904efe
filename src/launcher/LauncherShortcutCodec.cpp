#include "launcher/LauncherShortcutCodec.h"

#include "base/Uuid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

namespace kestrune {

namespace {

QString jsonTypeName(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("a Boolean");
    case QJsonValue::Double: return QStringLiteral("a number");
    case QJsonValue::String: return QStringLiteral("a string");
    case QJsonValue::Array: return QStringLiteral("an array");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("undefined");
}

} // namespace

QUrl storableAppUrl(const QString& text)
{
    // Parsing what was stored must give what storing it gives back: a lone
    // UTF-16 surrogate (or anything else the encoder replaces) is replaced
    // now rather than on the next load.
    const QUrl parsed(text, QUrl::TolerantMode);
    return QUrl(parsed.toString(QUrl::FullyEncoded), QUrl::TolerantMode);
}

ShortcutDecodeResult decodeShortcuts(const QByteArray& data)
{
    ShortcutDecodeResult result;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("The data is not valid JSON (%1 at offset %2).")
                           .arg(parseError.errorString())
                           .arg(parseError.offset);
        return result;
    }
    if (!doc.isArray()) {
        result.error = QStringLiteral("Expected an array of shortcuts but found %1.")
                           .arg(doc.isObject() ? QStringLiteral("an object") : QStringLiteral("a single value"));
        return result;
    }
    const QJsonArray array = doc.array();
    // One bad record rejects the list: none of the records read before it
    // is kept.
    auto reject = [&result](const QString& why) {
        result.error = why;
        result.shortcuts.clear();
        return result;
    };
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString where = QStringLiteral("Shortcut at index %1").arg(i);
        if (!array[i].isObject())
            return reject(QStringLiteral("%1 is %2, not an object.").arg(where, jsonTypeName(array[i])));
        const QJsonObject object = array[i].toObject();
        auto fail = [&](const QString& key, const QString& problem) {
            return reject(QStringLiteral("%1: key \"%2\" %3.").arg(where, key, problem));
        };
        auto wrongType = [&](const QString& key, const QString& expected) {
            return fail(key, QStringLiteral("holds %1 where %2 was expected").arg(jsonTypeName(object[key]), expected));
        };
        for (const char* key : {"keyCode", "appURL", "appName"})
            if (!object.contains(QLatin1String(key)))
                return fail(QLatin1String(key), QStringLiteral("is missing"));

        LauncherShortcut shortcut;
        const QJsonValue id = object[QLatin1String("id")];
        if (id.isUndefined() || id.isNull()) {
            shortcut.id = QUuid::createUuid();
        } else if (!id.isString()) {
            return wrongType(QStringLiteral("id"), QStringLiteral("a UUID string"));
        } else if (auto parsed = parseCanonicalUuid(id.toString())) {
            shortcut.id = *parsed;
        } else {
            return fail(QStringLiteral("id"), QStringLiteral("is not a valid UUID: \"%1\"").arg(id.toString()));
        }

        const QJsonValue keyCode = object[QLatin1String("keyCode")];
        // toInteger() falls back to its argument unless the number is a
        // whole 64-bit value, so two different fallbacks detect that.
        if (!keyCode.isDouble() || keyCode.toInteger(0) != keyCode.toInteger(1))
            return wrongType(QStringLiteral("keyCode"), QStringLiteral("an integer"));
        shortcut.keyCode = keyCode.toInteger();

        const QJsonValue appURL = object[QLatin1String("appURL")];
        if (!appURL.isString())
            return wrongType(QStringLiteral("appURL"), QStringLiteral("a URL string"));
        shortcut.appURL = storableAppUrl(appURL.toString());
        if (appURL.toString().isEmpty() || !shortcut.appURL.isValid())
            return fail(QStringLiteral("appURL"), QStringLiteral("is not a valid URL: \"%1\"").arg(appURL.toString()));

        const QJsonValue appName = object[QLatin1String("appName")];
        if (!appName.isString())
            return wrongType(QStringLiteral("appName"), QStringLiteral("a string"));
        shortcut.appName = appName.toString();

        result.shortcuts.append(std::move(shortcut));
    }
    return result;
}

QByteArray encodeShortcuts(const QList<LauncherShortcut>& shortcuts)
{
    QJsonArray array;
    for (const LauncherShortcut& s : shortcuts) {
        array.append(QJsonObject{
            {QStringLiteral("id"), canonicalUuid(s.id)},
            {QStringLiteral("keyCode"), s.keyCode},
            {QStringLiteral("appURL"), s.appURL.toString(QUrl::FullyEncoded)},
            {QStringLiteral("appName"), s.appName},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace kestrune
