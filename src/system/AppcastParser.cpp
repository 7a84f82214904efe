#include "system/AppcastParser.h"

#include "system/VersionCompare.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace kestrune {

namespace {

bool isSparkle(const QXmlStreamReader& xml, QLatin1StringView name)
{
    return xml.namespaceUri() == QLatin1String(kSparkleNamespace) && xml.name() == name;
}

bool isPlain(const QXmlStreamReader& xml, QLatin1StringView name)
{
    return xml.namespaceUri().isEmpty() && xml.name() == name;
}

struct ItemFields {
    QString title, version, shortVersion, link, notesLink;
    QString enclosureUrl, enclosureVersion, enclosureShortVersion;
    bool channel = false;
};

// Reads one <item>; the reader is on its start and ends on its end.
ItemFields readItem(QXmlStreamReader& xml)
{
    ItemFields f;
    auto text = [&xml] { return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed(); };
    while (xml.readNextStartElement()) {
        if (isPlain(xml, QLatin1StringView("title"))) {
            f.title = text();
        } else if (isPlain(xml, QLatin1StringView("link"))) {
            f.link = text();
        } else if (isSparkle(xml, QLatin1StringView("version"))) {
            f.version = text();
        } else if (isSparkle(xml, QLatin1StringView("shortVersionString"))) {
            f.shortVersion = text();
        } else if (isSparkle(xml, QLatin1StringView("releaseNotesLink"))) {
            const QString link = text();
            if (f.notesLink.isEmpty()) // the first; others are translations
                f.notesLink = link;
        } else if (isSparkle(xml, QLatin1StringView("channel"))) {
            f.channel = true;
            xml.skipCurrentElement();
        } else if (isPlain(xml, QLatin1StringView("enclosure"))) {
            const auto attributes = xml.attributes();
            const QString ns = QLatin1String(kSparkleNamespace);
            if (f.enclosureUrl.isEmpty())
                f.enclosureUrl = attributes.value(QLatin1String("url")).trimmed().toString();
            if (f.enclosureVersion.isEmpty())
                f.enclosureVersion = attributes.value(ns, QLatin1String("version")).trimmed().toString();
            if (f.enclosureShortVersion.isEmpty())
                f.enclosureShortVersion = attributes.value(ns, QLatin1String("shortVersionString")).trimmed().toString();
            xml.skipCurrentElement();
        } else {
            // Includes <sparkle:deltas>, whose enclosures are patches.
            xml.skipCurrentElement();
        }
    }
    return f;
}

std::optional<AppcastItem> toItem(const ItemFields& f)
{
    if (f.channel)
        return std::nullopt;
    AppcastItem item;
    item.title = f.title;
    item.version = f.version.isEmpty() ? f.enclosureVersion : f.version;
    const QString shortVersion = f.shortVersion.isEmpty() ? f.enclosureShortVersion : f.shortVersion;
    item.displayVersion = shortVersion.isEmpty() ? item.version : shortVersion;
    if (item.displayVersion.isEmpty())
        return std::nullopt;
    for (const QString& candidate : {f.link, f.notesLink, f.enclosureUrl}) {
        const QUrl url(candidate, QUrl::StrictMode);
        if (!candidate.isEmpty() && url.isValid()) {
            item.url = url;
            break;
        }
    }
    return item;
}

// Qt's reader accepts <!DOCTYPE> anywhere, even inside an element, and
// readItem() passes over tokens it has no use for; so the whole feed is
// screened first, every token counted against the budget, before any of it
// is read for releases.
std::optional<QString> screeningRefusal(const QByteArray& feed, qint64 budget)
{
    QXmlStreamReader xml(feed);
    xml.setEntityExpansionLimit(0);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::DTD)
            return QCoreApplication::translate("AppcastParser", "The feed declares a document type, which release feeds never do.");
        if (--budget < 0)
            return QCoreApplication::translate("AppcastParser", "The feed is too large to be a release feed.");
    }
    return std::nullopt;
}

} // namespace

AppcastParseResult parseAppcast(const QByteArray& feed, qint64 budget)
{
    AppcastParseResult result;
    if (std::optional<QString> refusal = screeningRefusal(feed, budget)) {
        result.error = *refusal;
        return result;
    }
    QXmlStreamReader xml(feed);
    // Belt and braces: no entity may expand at all, whatever reached the reader.
    xml.setEntityExpansionLimit(0);
    bool sawChannel = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (isPlain(xml, QLatin1StringView("channel")))
            sawChannel = true;
        else if (isPlain(xml, QLatin1StringView("item")) && sawChannel)
            if (auto item = toItem(readItem(xml)))
                result.items.append(*item);
    }
    if (xml.hasError()) {
        result.items.clear();
        QString reason = xml.errorString();
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        result.error = QCoreApplication::translate("AppcastParser", "The feed is not valid XML (line %1: %2).").arg(xml.lineNumber()).arg(reason);
    } else if (!sawChannel) {
        result.error = QCoreApplication::translate("AppcastParser", "The feed is not an RSS release feed.");
    } else if (result.items.isEmpty()) {
        result.error = QCoreApplication::translate("AppcastParser", "The feed lists no release with a version.");
    }
    return result;
}

std::optional<AppcastItem> newestItem(const QList<AppcastItem>& items)
{
    std::optional<AppcastItem> newest;
    for (const AppcastItem& item : items)
        if (!newest || compareVersions(item.displayVersion, newest->displayVersion) > 0)
            newest = item;
    return newest;
}

} // namespace kestrune
