#include "base/SettingsFileProblems.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace kestrune::settingsfile {

bool keepAside(const QString& file, QString* keptAs, QString* error)
{
    const QString base =
        file + QStringLiteral(".unreadable-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + QLatin1Char('-') + QString::number(n);

    keptAs->clear();
    if (std::rename(QFile::encodeName(file).constData(), QFile::encodeName(target).constData()) != 0) {
        if (errno == ENOENT) // gone meanwhile: nothing left to keep
            return true;
        *error = qt_error_string(errno);
        return false;
    }
    *keptAs = target;
    return true;
}

QString unreadableLine(const QString& file, const QString& reason, int readableCount)
{
    if (readableCount == 0)
        return QStringLiteral("Settings file %1 could not be read (%2); using defaults. "
                              "It is kept unchanged until a setting is changed.")
            .arg(file, reason);
    return QStringLiteral("Settings file %1 could not be read whole (%2); %3 of its settings are used and "
                          "defaults for the rest. It is kept unchanged until a setting is changed.")
        .arg(file, reason)
        .arg(readableCount);
}

QString keptAsideLine(const QString& keptAs)
{
    return QStringLiteral("The unreadable settings file was kept as %1.").arg(keptAs);
}

QString notKeptAsideLine(const QString& file, const QString& error)
{
    return QStringLiteral("Settings could not be saved: the unreadable file %1 could not be moved aside (%2).")
        .arg(file, error);
}

QString notSavedLine(const QString& file, const QString& error)
{
    if (error.isEmpty())
        return QStringLiteral("Settings could not be saved to %1.").arg(file);
    return QStringLiteral("Settings could not be saved to %1 (%2).").arg(file, error);
}

QString wrongTypeLine(const QString& key, const QString& file)
{
    return QStringLiteral("Setting \"%1\" in %2 has a value of an unexpected type; its default is used and "
                          "the stored value is kept.")
        .arg(key, file);
}

} // namespace kestrune::settingsfile
