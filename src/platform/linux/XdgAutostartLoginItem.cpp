#include "platform/linux/XdgAutostartLoginItem.h"

#include "platform/linux/GioHeaders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {

QString absoluteDirFromEnv(const char* name, const QString& fallback)
{
    const QString value = QFile::decodeName(qgetenv(name));
    return QDir::isAbsolutePath(value) ? value : fallback;
}

// One argument of an Exec line, quoted where the desktop entry format needs it.
QString execArgument(QString arg)
{
    arg.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::none_of(arg.cbegin(), arg.cend(), [](QChar c) { return reserved.contains(c); }))
        return arg;
    QString quoted;
    for (QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A key file string value: backslashes and line breaks escaped.
QString keyFileValue(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return value;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(const QString& command)
    : command_(command)
{
    if (command_.isEmpty())
        command_ = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QStringLiteral("kestrune");
    const QString configHome = absoluteDirFromEnv("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
    userEntry_ = configHome + QStringLiteral("/autostart/") + kEntryName;

    QString configDirs = QFile::decodeName(qgetenv("XDG_CONFIG_DIRS"));
    if (configDirs.isEmpty())
        configDirs = QStringLiteral("/etc/xdg");
    for (const QString& dir : configDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            systemEntries_.append(dir + QStringLiteral("/autostart/") + kEntryName);
}

XdgAutostartLoginItem::Entry XdgAutostartLoginItem::read(const QString& path)
{
    GKeyFile* file = g_key_file_new();
    Entry entry = Entry::Missing; // an entry that cannot be read starts nothing
    if (g_key_file_load_from_file(file, QFile::encodeName(path).constData(), G_KEY_FILE_NONE, nullptr)
        && g_key_file_has_group(file, G_KEY_FILE_DESKTOP_GROUP)) {
        auto flag = [file](const char* key, bool absent) {
            GError* error = nullptr;
            const bool value = g_key_file_get_boolean(file, G_KEY_FILE_DESKTOP_GROUP, key, &error);
            const bool result = error ? absent : value;
            g_clear_error(&error);
            return result;
        };
        const bool hidden = flag(G_KEY_FILE_DESKTOP_KEY_HIDDEN, false);
        const bool enabled = flag("X-GNOME-Autostart-enabled", true);
        entry = hidden || !enabled ? Entry::Disabled : Entry::Enabled;
    }
    g_key_file_free(file);
    return entry;
}

XdgAutostartLoginItem::Entry XdgAutostartLoginItem::systemEntry() const
{
    for (const QString& path : systemEntries_)
        if (QFileInfo::exists(path))
            return read(path);
    return Entry::Missing;
}

LoginItemStatus XdgAutostartLoginItem::status() const
{
    const Entry entry = QFileInfo::exists(userEntry_) ? read(userEntry_) : Entry::Missing;
    const Entry inForce = entry == Entry::Missing ? systemEntry() : entry;
    return inForce == Entry::Enabled ? LoginItemStatus::Enabled : LoginItemStatus::NotRegistered;
}

QByteArray XdgAutostartLoginItem::content(bool hidden) const
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Kestrune\n"
                                  "Comment=Caps Lock as a Hyper key\n"
                                  "Icon=com.kestrune.Kestrune\n");
    text += QStringLiteral("Exec=") + keyFileValue(execArgument(command_)) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    text += hidden ? QStringLiteral("Hidden=true\n") : QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool XdgAutostartLoginItem::write(const QByteArray& bytes, QString* error) const
{
    const QString dir = QFileInfo(userEntry_).absolutePath();
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2").arg(userEntry_, reason);
        return false;
    };
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir())
        return fail(QStringLiteral("cannot create the folder %1").arg(dir));

    QByteArray tempName = QFile::encodeName(userEntry_ + QStringLiteral(".tmp-XXXXXX"));
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(qt_error_string(errno));
    // The entry is either the old one or the complete new one, even after a
    // crash: the data reaches the disk before the rename publishes it.
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    QString reason = ok ? QString() : qt_error_string(errno);
    if (::close(fd) != 0 && ok) {
        reason = qt_error_string(errno);
        ok = false;
    }
    if (ok && ::rename(tempName.constData(), QFile::encodeName(userEntry_).constData()) != 0) {
        reason = qt_error_string(errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return fail(reason);
    }
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) { // best effort: makes the rename itself durable
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool XdgAutostartLoginItem::registerItem(QString* error) { return write(content(false), error); }

bool XdgAutostartLoginItem::unregisterItem(QString* error)
{
    if (::unlink(QFile::encodeName(userEntry_).constData()) != 0 && errno != ENOENT) {
        if (error)
            *error = QStringLiteral("Could not remove %1: %2").arg(userEntry_, qt_error_string(errno));
        return false;
    }
    // A system-wide entry would start the application anyway: mask it.
    if (systemEntry() == Entry::Enabled)
        return write(content(true), error);
    return true;
}

} // namespace kestrune
