#pragma once
// Reads a release feed in the Sparkle appcast format (RSS 2.0 with the
// sparkle namespace) into its releases, and picks the newest.
//
// A release's version comes from <sparkle:version> and
// <sparkle:shortVersionString> in the <item>, or from the same names as
// attributes of its <enclosure> (the elements win). Its page is the item's
// <link>, else <sparkle:releaseNotesLink>, else the enclosure's url; a
// relative address is left relative for the caller to resolve. Items meant
// for an opt-in channel (<sparkle:channel>) and items without any version
// are left out; delta updates are not releases.
//
// A feed with a document type declaration is refused: real appcasts have
// none, and a DTD's entities can expand a small feed into gigabytes. Parsing
// stops once `budget` XML tokens have been read. Any thread.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace kestrune {

inline constexpr auto kSparkleNamespace = "http://www.andymatuschak.org/xml-namespaces/sparkle";

struct AppcastItem {
    QString title;
    QString version;        // sparkle:version; may be empty
    QString displayVersion; // sparkle:shortVersionString, else the version
    QUrl url;               // release page or download; may be empty or relative
};

struct AppcastParseResult {
    QList<AppcastItem> items; // in feed order; never empty when error is empty
    QString error;            // user-facing; empty on success
};

// Far more tokens than a feed within the checker's size cap holds.
inline constexpr qint64 kAppcastTokenBudget = 2'000'000;

AppcastParseResult parseAppcast(const QByteArray& feed, qint64 budget = kAppcastTokenBudget);

// The newest item by display version (the first of equals); nullopt for none.
// The display version is the one compared: it is what a release calls
// itself, and what the running application knows as its own version.
std::optional<AppcastItem> newestItem(const QList<AppcastItem>& items);

} // namespace kestrune
