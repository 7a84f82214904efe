#include "settings/SettingsFileStatus.h"

#include <QDir>
#include <QFileInfo>

namespace kestrune {

namespace {

// ~/.config/Kestrune/settings.json rather than the whole home folder.
QString shortPath(const QString& path)
{
    const QString home = QDir::homePath();
    if (home.size() > 1 && path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

// "(reason)" after a sentence, or nothing.
QString because(const QString& reason)
{
    return reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason);
}

} // namespace

SettingsFileStatus::SettingsFileStatus(UserDefaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults)
{
    defaults_.setProblemObserver([this] { emit changed(); });
}

SettingsFileStatus::~SettingsFileStatus()
{
    defaults_.setProblemObserver({});
}

const DefaultsProblem& SettingsFileStatus::shown() const
{
    if (defaults_.saveProblem().kind != DefaultsProblem::Kind::none)
        return defaults_.saveProblem();
    return defaults_.loadProblem();
}

QString SettingsFileStatus::title() const
{
    switch (shown().kind) {
    case DefaultsProblem::Kind::notSaved:
        return tr("Settings could not be saved");
    case DefaultsProblem::Kind::unreadable:
        return tr("Settings file could not be read");
    case DefaultsProblem::Kind::partlyReadable:
        return tr("Settings file could not be read whole");
    case DefaultsProblem::Kind::newerUnreadable:
        return tr("Settings are not saved");
    case DefaultsProblem::Kind::wrongType:
        return tr("A setting could not be read");
    case DefaultsProblem::Kind::readOnly:
        return tr("Settings are read-only");
    case DefaultsProblem::Kind::notAFolder:
        return tr("Settings cannot be saved");
    case DefaultsProblem::Kind::none:
        break;
    }
    return {};
}

QString SettingsFileStatus::detail() const
{
    const DefaultsProblem& p = shown();
    const QString file = shortPath(p.location);
    switch (p.kind) {
    case DefaultsProblem::Kind::notSaved:
        return tr("Your changes apply until Kestrune quits. Make sure %1 can be written and the disk has free "
                  "space; the next change is saved again.")
                   .arg(shortPath(QFileInfo(p.location).absolutePath()))
               + because(p.detail);
    case DefaultsProblem::Kind::unreadable:
        return tr("Defaults are in use. %1 is left as it is until you change a setting; then it is kept aside "
                  "next to the new file.")
                   .arg(file)
               + because(p.detail);
    case DefaultsProblem::Kind::partlyReadable:
        return tr("%n of its settings are in use, defaults for the rest. When you change a setting, %1 is kept "
                  "aside next to the new file.",
                  nullptr, p.count)
                   .arg(file)
               + because(p.detail);
    case DefaultsProblem::Kind::newerUnreadable:
        return tr("%1 was written by a newer Kestrune that this one cannot read. Defaults are in use and changes "
                  "are not saved; update Kestrune to use your settings.")
            .arg(file);
    case DefaultsProblem::Kind::wrongType:
        return tr("The value of \"%1\" in %2 is not understood; its default is in use and the value is kept.")
            .arg(p.key, file);
    case DefaultsProblem::Kind::readOnly:
        return tr("%1 is read-only, so Kestrune leaves it as it is. Your changes apply until Kestrune quits; make "
                  "the file writable to keep them.")
            .arg(file);
    case DefaultsProblem::Kind::notAFolder:
        return tr("%1 is not a folder, so Kestrune cannot keep its settings there. Defaults are in use and changes "
                  "apply until Kestrune quits; move it away, then restart Kestrune.")
            .arg(file);
    case DefaultsProblem::Kind::none:
        break;
    }
    return {};
}

} // namespace kestrune
