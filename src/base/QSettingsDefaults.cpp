#include "base/QSettingsDefaults.h"

#include "base/Console.h"
#include "base/SettingsFileProblems.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <memory>

namespace kestrune {

namespace {

// Another QSettings on the same store. QSettings keeps the first error it
// met for its whole life, so whether a later write worked is only known
// from a fresh object; while the first one lives, the fresh one shares its
// cached file, pending changes included, and its sync() writes them.
std::unique_ptr<QSettings> reopen(const QSettings& s)
{
    if (s.organizationName().isEmpty())
        return std::make_unique<QSettings>(s.fileName(), s.format());
    return std::make_unique<QSettings>(s.format(), s.scope(), s.organizationName(), s.applicationName());
}

// Whether the store is a file of its own that can be kept aside; the macOS
// defaults domain is not (cfprefsd owns it, and reports no read errors).
bool isFile(const QSettings& s)
{
    return QFileInfo(s.fileName()).isFile();
}

} // namespace

QSettingsDefaults::QSettingsDefaults(QSettings& settings, Console* console)
    : settings_(settings)
    , console_(console)
{
    // QSettings has read the file by now; a file it could not read at all is
    // an AccessError, one it could read only in part a FormatError.
    const QSettings::Status status = settings_.status();
    if (status == QSettings::NoError || !isFile(settings_))
        return;
    QString reason;
    if (status == QSettings::AccessError) {
        QFile file(settings_.fileName());
        reason = file.open(QIODevice::ReadOnly) ? QStringLiteral("cannot be read") : file.errorString();
    } else {
        reason = QStringLiteral("not a valid settings file");
    }
    const int count = int(settings_.allKeys().size());
    unreadable_ = true;
    if (count == 0)
        setLoadProblem({DefaultsProblem::Kind::unreadable, settings_.fileName(), reason, {}, 0});
    else
        setLoadProblem({DefaultsProblem::Kind::partlyReadable, settings_.fileName(), reason, {}, count});
    report(settingsfile::unreadableLine(settings_.fileName(), reason, count));
}

std::optional<DefaultsValue> QSettingsDefaults::value(const QString& key) const
{
    const QVariant v = settings_.value(key);
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::QString:
        return v.toString();
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return std::nullopt;
    }
}

void QSettingsDefaults::setValue(const QString& key, const DefaultsValue& value)
{
    settings_.setValue(key, std::visit([](const auto& v) { return QVariant::fromValue(v); }, value));
    clearWrongType(key);
    save();
}

void QSettingsDefaults::noticeWrongType(const QString& key) const
{
    if (markWrongType(key, settings_.fileName()))
        report(settingsfile::wrongTypeLine(key, settings_.fileName()));
}

void QSettingsDefaults::removeValue(const QString& key)
{
    settings_.remove(key);
    save();
}

void QSettingsDefaults::save()
{
    if (unreadable_ && !keepUnreadableAside())
        return;
    if (!synced()) {
        // QSettings gives no reason; the folder's state is the likely one.
        setSaveProblem({DefaultsProblem::Kind::notSaved, settings_.fileName(), {}, {}, 0});
        report(settingsfile::notSavedLine(settings_.fileName(), {}));
        return;
    }
    setSaveProblem({});
    // What could not be read is now kept aside, and the file holds what is in use.
    const auto kind = loadProblem().kind;
    if (kind == DefaultsProblem::Kind::unreadable || kind == DefaultsProblem::Kind::partlyReadable)
        setLoadProblem({});
}

bool QSettingsDefaults::keepUnreadableAside()
{
    QString keptAs;
    QString error;
    if (!settingsfile::keepAside(settings_.fileName(), &keptAs, &error)) {
        setSaveProblem({DefaultsProblem::Kind::notSaved, settings_.fileName(), error, {}, 0});
        report(settingsfile::notKeptAsideLine(settings_.fileName(), error));
        return false;
    }
    if (!keptAs.isEmpty())
        report(settingsfile::keptAsideLine(keptAs));
    unreadable_ = false;
    // Written anew, the file holds every value read from the old one: QSettings
    // would otherwise write only the changes, the old file being gone. Writing
    // them back as changes keeps them.
    const QStringList keys = settings_.allKeys();
    for (const QString& key : keys)
        settings_.setValue(key, settings_.value(key));
    return true;
}

bool QSettingsDefaults::synced()
{
    settings_.sync();
    if (settings_.status() == QSettings::NoError)
        return true; // no error ever: this write too went through
    const auto fresh = reopen(settings_);
    fresh->sync();
    return fresh->status() == QSettings::NoError;
}

void QSettingsDefaults::report(const QString& line) const
{
    if (console_)
        console_->printLine(line);
}

} // namespace kestrune
