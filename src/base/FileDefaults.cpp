#include "base/FileDefaults.h"

#include "base/Console.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonValue>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {

const QString kFileName = QStringLiteral("settings.json");
const QString kVersionKey = QStringLiteral("version");
const QString kValuesKey = QStringLiteral("values");
const QString kDataKey = QStringLiteral("data");
constexpr int kVersion = 1;

QString lastError() { return qt_error_string(errno); }

// Creates the folder and any missing parents, each 0700 (a settings folder is
// private; existing folders are left as they are).
bool makePrivateDirectory(const QString& dir, QString* error)
{
    if (QFileInfo(dir).isDir())
        return true;
    const QString parent = QFileInfo(dir).absolutePath();
    if (parent != dir && !makePrivateDirectory(parent, error))
        return false;
    if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST) {
        *error = QStringLiteral("cannot create %1: %2").arg(dir, lastError());
        return false;
    }
    return true;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

QJsonValue toJson(const DefaultsValue& value)
{
    return std::visit(
        [](const auto& v) -> QJsonValue {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, QByteArray>)
                return QJsonObject{{kDataKey, QString::fromLatin1(v.toBase64())}};
            else
                return QJsonValue(v);
        },
        value);
}

} // namespace

FileDefaults::FileDefaults(const QString& directory, Console* console)
    : directory_(QDir::cleanPath(QFileInfo(directory).absoluteFilePath()))
    , path_(directory_ + QLatin1Char('/') + kFileName)
    , console_(console)
{
    load();
}

QString FileDefaults::defaultDirectory()
{
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Kestrune");
}

void FileDefaults::load()
{
    QFile file(path_);
    if (!file.exists())
        return; // first launch: nothing stored yet

    QString reason;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        QJsonParseError parse{};
        const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
        const QJsonObject root = doc.object();
        const QJsonValue version = root.value(kVersionKey);
        const QJsonValue values = root.value(kValuesKey);
        if (file.error() != QFile::NoError)
            reason = file.errorString();
        else if (parse.error != QJsonParseError::NoError)
            reason = QStringLiteral("%1 at offset %2").arg(parse.errorString()).arg(parse.offset);
        else if (!doc.isObject())
            reason = QStringLiteral("not a JSON object");
        else if (!version.isDouble())
            reason = QStringLiteral("no version number");
        else if (version.toDouble() != kVersion)
            reason = QStringLiteral("unsupported version %1").arg(version.toDouble());
        else if (!values.isUndefined() && !values.isObject())
            reason = QStringLiteral("\"values\" is not an object");
        else {
            root_ = root;
            values_ = values.toObject();
        }
    }
    if (reason.isEmpty())
        return;
    unreadable_ = true;
    report(QStringLiteral("Settings file %1 could not be read (%2); using defaults. "
                          "It is kept unchanged until a setting is changed.")
               .arg(path_, reason));
}

std::optional<DefaultsValue> FileDefaults::value(const QString& key) const
{
    const QJsonValue v = values_.value(key);
    if (v.isBool())
        return v.toBool();
    if (v.isString())
        return v.toString();
    const QJsonObject wrapped = v.toObject();
    if (wrapped.size() == 1 && wrapped.value(kDataKey).isString()) {
        auto decoded = QByteArray::fromBase64Encoding(wrapped.value(kDataKey).toString().toLatin1(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            return *decoded;
    }
    return std::nullopt;
}

void FileDefaults::setValue(const QString& key, const DefaultsValue& value)
{
    values_.insert(key, toJson(value));
    save();
}

void FileDefaults::removeValue(const QString& key)
{
    if (!values_.contains(key))
        return;
    values_.remove(key);
    save();
}

void FileDefaults::save()
{
    QString error;
    if (unreadable_ && !moveUnreadableAside(&error)) {
        report(QStringLiteral("Settings could not be saved: the unreadable file %1 could not be moved aside (%2).")
                   .arg(path_, error));
        return;
    }
    QJsonObject root = root_;
    root.insert(kVersionKey, kVersion);
    root.insert(kValuesKey, values_);
    if (!writeAtomically(QJsonDocument(root).toJson(QJsonDocument::Indented), &error))
        report(QStringLiteral("Settings could not be saved to %1 (%2).").arg(path_, error));
}

bool FileDefaults::moveUnreadableAside(QString* error)
{
    const QString base =
        path_ + QStringLiteral(".unreadable-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + QLatin1Char('-') + QString::number(n);

    if (::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target).constData()) != 0) {
        if (errno != ENOENT) { // gone meanwhile: nothing left to keep
            *error = lastError();
            return false;
        }
    } else {
        report(QStringLiteral("The unreadable settings file was kept as %1.").arg(target));
    }
    unreadable_ = false;
    return true;
}

bool FileDefaults::writeAtomically(const QByteArray& bytes, QString* error)
{
    if (!makePrivateDirectory(directory_, error))
        return false;

    QByteArray tempName = QFile::encodeName(path_ + QStringLiteral(".tmp-XXXXXX"));
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = lastError();
        return false;
    }
    // Readers see either the old file or the complete new one: the data is on
    // disk before the rename makes it visible.
    bool ok = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok)
        *error = lastError();
    if (::close(fd) != 0 && ok) {
        *error = lastError();
        ok = false;
    }
    if (ok && ::rename(tempName.constData(), QFile::encodeName(path_).constData()) != 0) {
        *error = lastError();
        ok = false;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    // Make the rename itself durable. Best effort: some file systems refuse.
    const int dirFd = ::open(QFile::encodeName(directory_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void FileDefaults::report(const QString& line) const
{
    if (console_)
        console_->printLine(line);
}

} // namespace kestrune
