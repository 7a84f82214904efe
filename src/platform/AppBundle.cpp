#include "platform/AppBundle.h"

#include <QFileInfo>
#include <QUrl>

namespace kestrune {

namespace {
std::optional<QString> nonEmpty(const std::optional<QString>& text)
{
    if (text && !text->trimmed().isEmpty())
        return text->trimmed();
    return std::nullopt;
}
} // namespace

std::optional<AppIdentity> applicationIdentity(const BundleFacts& facts)
{
    if (!facts.isBundle || facts.path.isEmpty())
        return std::nullopt;
    QString path = facts.path;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (facts.packageType) {
        if (*facts.packageType != QLatin1String("APPL"))
            return std::nullopt; // a framework, a plug-in, a document package
    } else if (!path.endsWith(QLatin1String(".app"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    AppIdentity identity;
    identity.bundleId = nonEmpty(facts.identifier);
    if (auto name = nonEmpty(facts.displayName))
        identity.name = *name;
    else if (auto bundleName = nonEmpty(facts.bundleName))
        identity.name = *bundleName;
    else
        identity.name = QFileInfo(path).completeBaseName();
    identity.iconName = appIconUrl(path);
    return identity;
}

QString applicationPath(const QUrl& url)
{
    QString path;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().isEmpty() && url.path().startsWith(QLatin1Char('/')))
        path = url.path();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString appIconUrl(const QString& path)
{
    return QStringLiteral("image://appicon/") + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

QString appIconPath(const QString& imageId)
{
    return QUrl::fromPercentEncoding(imageId.toUtf8());
}

} // namespace kestrune
