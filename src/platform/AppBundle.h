#pragma once
// Telling what an application bundle is from the facts its Info.plist
// gives, and naming its icon for the views. A backend reads the facts; the
// rules are here.

#include "platform/System.h"

#include <QString>
#include <QUrl>
#include <optional>

namespace kestrune {

// What a backend read at a path that may hold an application bundle.
struct BundleFacts {
    QString path;                          // plain absolute path ("/Applications/Safari.app")
    bool isBundle = false;                 // a bundle could be opened there
    std::optional<QString> identifier;     // CFBundleIdentifier
    std::optional<QString> displayName;    // CFBundleDisplayName, localized where the bundle has it
    std::optional<QString> bundleName;     // CFBundleName, likewise
    std::optional<QString> packageType;    // CFBundlePackageType
};

// nullopt unless the facts describe an application: a bundle whose package
// type is "APPL", or which names none and ends in ".app". The name is the
// display name, else the bundle name, else the file name without its
// extension; an empty identifier counts as none. The icon is appIconUrl(path).
std::optional<AppIdentity> applicationIdentity(const BundleFacts& facts);

// The plain path an application URL names: "file:" URLs and absolute
// paths alike, without trailing slash. Empty when `url` names no local path.
QString applicationPath(const QUrl& url);

// The image URL under which the "appicon" image provider serves the icon of
// the application at `path` ("image://appicon/%2FApplications%2FSafari.app").
QString appIconUrl(const QString& path);
// The path back from the id the image provider is given (what follows
// "image://appicon/").
QString appIconPath(const QString& imageId);

} // namespace kestrune
