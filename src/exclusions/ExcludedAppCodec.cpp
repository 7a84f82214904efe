#include "exclusions/ExcludedAppCodec.h"

#include "base/Uuid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrune {

std::optional<QList<ExcludedApp>> decodeExcludedApps(const QByteArray& data)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<ExcludedApp> apps;
    for (const QJsonValue& item : doc.array()) {
        if (!item.isObject())
            return std::nullopt;
        const QJsonObject object = item.toObject();
        const QJsonValue id = object[QLatin1String("id")];
        const QJsonValue bundleID = object[QLatin1String("bundleID")];
        const QJsonValue name = object[QLatin1String("name")];
        const QJsonValue path = object[QLatin1String("path")];
        if (!id.isString() || !bundleID.isString() || !name.isString() || !path.isString())
            return std::nullopt;
        const std::optional<QUuid> uuid = parseCanonicalUuid(id.toString());
        if (!uuid)
            return std::nullopt;
        apps.append(ExcludedApp{*uuid, bundleID.toString(), name.toString(), path.toString()});
    }
    return apps;
}

QByteArray encodeExcludedApps(const QList<ExcludedApp>& apps)
{
    QJsonArray array;
    for (const ExcludedApp& app : apps) {
        array.append(QJsonObject{
            {QStringLiteral("id"), canonicalUuid(app.id)},
            {QStringLiteral("bundleID"), app.bundleID},
            {QStringLiteral("name"), app.name},
            {QStringLiteral("path"), app.path},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace kestrune
