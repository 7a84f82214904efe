#include "platform/sim/SimWorkspace.h"

#include <algorithm>

namespace kestrune {

namespace {

AppIdentity identity(const char* bundleId, const char* name)
{
    return AppIdentity{QString::fromLatin1(bundleId), QString::fromLatin1(name), QString::fromLatin1(bundleId)};
}

} // namespace

SimWorkspace::SimWorkspace(Scheduler& scheduler)
    : scheduler_(scheduler)
{
    applications_ = {
        {QStringLiteral("/Applications/Safari.app"), identity("com.apple.Safari", "Safari")},
        {QStringLiteral("/Applications/Utilities/Terminal.app"), identity("com.apple.Terminal", "Terminal")},
        {QStringLiteral("/Applications/TextEdit.app"), identity("com.apple.TextEdit", "TextEdit")},
        {QStringLiteral("/Applications/Xcode.app"), identity("com.apple.dt.Xcode", "Xcode")},
        {QStringLiteral("/System/Applications/System Settings.app"),
         identity("com.apple.systempreferences", "System Settings")},
        {QStringLiteral("/Applications/Kestrune.app"), identity("com.kestrune.Kestrune", "Kestrune")},
        {QStringLiteral("/Applications/Visual Studio Code.app"),
         identity("com.microsoft.VSCode", "Visual Studio Code")},
        {QStringLiteral("/Applications/Slack.app"), identity("com.tinyspeck.slackmacgap", "Slack")},
        {QStringLiteral("/Applications/Unsigned.app"),
         AppIdentity{std::nullopt, QStringLiteral("Unsigned"), QString()}},
    };
}

void SimWorkspace::addApplication(const QString& path, AppIdentity identity)
{
    applications_[normalizedPath(QUrl::fromLocalFile(path))] = std::move(identity);
}

QString SimWorkspace::normalizedPath(const QUrl& url)
{
    QString path;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().isEmpty())
        path = url.path();
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

void SimWorkspace::setFrontmost(std::optional<QString> bundleId)
{
    const std::optional<QString> previous = std::exchange(frontmost_, std::move(bundleId));
    observers_.notify(false, previous);
    observers_.notify(true, frontmost_);
}

std::optional<QString> SimWorkspace::frontmostBundleId() const { return frontmost_; }

int SimWorkspace::addActivationObserver(ActivationHandler handler)
{
    return observers_.add(true, std::move(handler));
}

int SimWorkspace::addDeactivationObserver(ActivationHandler handler)
{
    return observers_.add(false, std::move(handler));
}

void SimWorkspace::removeObserver(int token)
{
    observers_.remove(token);
}

std::optional<AppIdentity> SimWorkspace::applicationAt(const QUrl& url) const
{
    auto it = applications_.find(normalizedPath(url));
    if (it == applications_.end())
        return std::nullopt;
    return it->second;
}

void SimWorkspace::openApplication(const QUrl& url, std::function<void(const QString& error)> completion)
{
    QString path = normalizedPath(url);
    if (path.isEmpty())
        path = url.toString();
    openedApplications.append(path);
    if (onLaunch)
        onLaunch(path);
    const QString error = applicationAt(url) ? QString() : kNotFoundError;
    if (completion)
        scheduler_.post([completion = std::move(completion), error] { completion(error); });
}

void SimWorkspace::openUrl(const QUrl& url) { openedUrls.append(url); }

std::optional<QString> SimWorkspace::pathForBundleId(const QString& bundleId) const
{
    for (const auto& [path, identity] : applications_)
        if (identity.bundleId == bundleId)
            return path;
    return std::nullopt;
}

} // namespace kestrune
