#include "base/FileDefaults.h"

#include "base/Console.h"
#include "base/SettingsFileProblems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
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

const QString kTempSuffix = QStringLiteral(".tmp-");

// Removes <target>.tmp-XXXXXX files an interrupted write left behind. Only
// one instance writes settings, so any such file is stale.
void removeStaleTemporaries(const QString& target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + kTempSuffix;
    QDir dir = info.absoluteDir();
    const QStringList found = dir.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : found) {
        if (name.size() == prefix.size() + 6)
            ::unlink(QFile::encodeName(dir.filePath(name)).constData());
    }
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
    if (const QFileInfo folder(directory_); folder.exists() && !folder.isDir()) {
        readOnly_ = true;
        setLoadProblem({DefaultsProblem::Kind::notAFolder, directory_, {}, {}, 0});
        report(QStringLiteral("Settings folder %1 is not a folder; defaults are in use and changes are not saved. "
                              "Move it away, then restart Kestrune.")
                   .arg(directory_));
        return;
    }
    QFile file(path_);
    if (!QFileInfo::exists(path_))
        return; // first launch (or a link to a file not made yet): nothing stored yet
    // Made read-only by its owner (or not ours to write): read it, and never
    // replace it, which the folder's permissions alone would allow.
    const QByteArray target = QFile::encodeName(writeTarget());
    struct stat st {};
    const bool ownerReadOnly = ::stat(target.constData(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
    if (ownerReadOnly || (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES)) {
        readOnly_ = true;
        setLoadProblem({DefaultsProblem::Kind::readOnly, path_, {}, {}, 0});
        report(QStringLiteral("Settings file %1 is read-only; it is used as it is, and changes apply until "
                              "Kestrune quits without being saved.")
                   .arg(path_));
    }

    QString reason;
    bool salvage = true;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        salvage = false;
    } else {
        // Bounded read: a huge file must neither delay start-up nor fill memory.
        const QByteArray bytes = file.read(kMaxFileSize + 1);
        QJsonParseError parse{};
        const QJsonDocument doc = bytes.size() > kMaxFileSize ? QJsonDocument() : QJsonDocument::fromJson(bytes, &parse);
        const QJsonObject root = doc.object();
        const QJsonValue version = root.value(kVersionKey);
        const QJsonValue values = root.value(kValuesKey);
        if (file.error() != QFile::NoError) {
            reason = file.errorString();
            salvage = false;
        } else if (bytes.size() > kMaxFileSize) {
            reason = QStringLiteral("larger than %1 KiB").arg(kMaxFileSize / 1024);
            salvage = false;
        } else if (parse.error != QJsonParseError::NoError)
            reason = QStringLiteral("%1 at offset %2").arg(parse.errorString()).arg(parse.offset);
        else if (!doc.isObject())
            reason = QStringLiteral("not a JSON object");
        else if (!version.isDouble())
            reason = QStringLiteral("no version number");
        else if (version.toDouble() > kVersion) {
            // Written by a newer Kestrune: use what we understand, keep the rest.
            root_ = root;
            if (values.isObject()) {
                values_ = values.toObject();
                report(QStringLiteral("Settings file %1 was written by a newer version of Kestrune (version %2); "
                                      "the settings this version knows are used and the rest is kept.")
                           .arg(path_)
                           .arg(version.toDouble()));
            } else {
                readOnly_ = true;
                setLoadProblem({DefaultsProblem::Kind::newerUnreadable, path_, {}, {}, 0});
                report(QStringLiteral("Settings file %1 was written by a newer version of Kestrune (version %2) "
                                      "and cannot be read by this one; using defaults. It is kept unchanged and "
                                      "changes are not saved.")
                           .arg(path_)
                           .arg(version.toDouble()));
            }
            return;
        } else if (version.toDouble() != kVersion)
            reason = QStringLiteral("unsupported version %1").arg(version.toDouble());
        else if (!values.isUndefined() && !values.isObject())
            reason = QStringLiteral("\"values\" is not an object");
        else {
            root_ = root;
            values_ = values.toObject();
        }
        if (!reason.isEmpty() && salvage)
            values_ = salvageValues(bytes);
    }
    if (reason.isEmpty())
        return;
    unreadable_ = true;
    if (values_.isEmpty())
        setLoadProblem({DefaultsProblem::Kind::unreadable, path_, reason, {}, 0});
    else
        setLoadProblem({DefaultsProblem::Kind::partlyReadable, path_, reason, {}, int(values_.size())});
    report(settingsfile::unreadableLine(path_, reason, int(values_.size())));
}

namespace {

qsizetype skipSpace(const QByteArray& b, qsizetype i)
{
    while (i < b.size() && (b[i] == ' ' || b[i] == '\t' || b[i] == '\n' || b[i] == '\r'))
        ++i;
    return i;
}

// The index just past the JSON string starting at i, or -1.
qsizetype skipString(const QByteArray& b, qsizetype i)
{
    for (++i; i < b.size(); ++i) {
        if (b[i] == '\\')
            ++i;
        else if (b[i] == '"')
            return i + 1;
    }
    return -1;
}

// The index just past the JSON value starting at i, or -1. Only finds the
// extent; the value itself is checked by the JSON parser afterwards.
qsizetype skipValue(const QByteArray& b, qsizetype i)
{
    if (i >= b.size())
        return -1;
    if (b[i] == '"')
        return skipString(b, i);
    if (b[i] == '{' || b[i] == '[') {
        int depth = 0;
        while (i < b.size()) {
            const char c = b[i];
            if (c == '"') {
                i = skipString(b, i);
                if (i < 0)
                    return -1;
                continue;
            }
            if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return i + 1;
            ++i;
        }
        return -1;
    }
    const qsizetype start = i;
    while (i < b.size() && !QByteArrayView(",}] \t\r\n").contains(b[i]))
        ++i;
    return i > start ? i : -1;
}

std::optional<QJsonValue> parseOne(const QByteArray& b, qsizetype from, qsizetype to)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson('[' + b.mid(from, to - from) + ']', &error);
    if (error.error != QJsonParseError::NoError || doc.array().size() != 1)
        return std::nullopt;
    return doc.array().at(0);
}

} // namespace

QJsonObject FileDefaults::salvageValues(const QByteArray& b)
{
    // Find "values" among the top-level members, then take its members one by one.
    qsizetype i = skipSpace(b, 0);
    if (i >= b.size() || b[i] != '{')
        return {};
    i = skipSpace(b, i + 1);
    while (i < b.size() && b[i] == '"') {
        const qsizetype keyEnd = skipString(b, i);
        if (keyEnd < 0)
            return {};
        const auto key = parseOne(b, i, keyEnd);
        i = skipSpace(b, keyEnd);
        if (!key || i >= b.size() || b[i] != ':')
            return {};
        i = skipSpace(b, i + 1);
        if (key->toString() == kValuesKey && i < b.size() && b[i] == '{')
            break;
        const qsizetype valueEnd = skipValue(b, i);
        if (valueEnd < 0)
            return {};
        i = skipSpace(b, valueEnd);
        if (i >= b.size() || b[i] != ',')
            return {};
        i = skipSpace(b, i + 1);
    }
    if (i >= b.size() || b[i] != '{')
        return {};

    QJsonObject values;
    i = skipSpace(b, i + 1);
    while (i < b.size() && b[i] == '"') {
        const qsizetype keyEnd = skipString(b, i);
        if (keyEnd < 0)
            break;
        const auto key = parseOne(b, i, keyEnd);
        i = skipSpace(b, keyEnd);
        if (!key || i >= b.size() || b[i] != ':')
            break;
        i = skipSpace(b, i + 1);
        const qsizetype valueEnd = skipValue(b, i);
        const auto value = valueEnd < 0 ? std::nullopt : parseOne(b, i, valueEnd);
        if (!value)
            break;
        values.insert(key->toString(), *value);
        i = skipSpace(b, valueEnd);
        if (i >= b.size() || b[i] != ',')
            break;
        i = skipSpace(b, i + 1);
    }
    return values;
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
    if (!v.isUndefined())
        noticeWrongType(key);
    return std::nullopt;
}

void FileDefaults::noticeWrongType(const QString& key) const
{
    if (!markWrongType(key, path_))
        return;
    report(settingsfile::wrongTypeLine(key, path_));
}

void FileDefaults::setValue(const QString& key, const DefaultsValue& value)
{
    values_.insert(key, toJson(value));
    clearWrongType(key);
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
    if (readOnly_) {
        // Said once at load: a newer version's file this one cannot read, a file
        // its owner made read-only, a folder that is not one.
        return;
    }
    if (unreadable_ && !moveUnreadableAside(&error)) {
        setSaveProblem({DefaultsProblem::Kind::notSaved, path_, error, {}, 0});
        report(settingsfile::notKeptAsideLine(path_, error));
        return;
    }
    QJsonObject root = root_;
    // A newer file keeps its version: what it holds beyond ours is still there.
    if (!(root.value(kVersionKey).toDouble() > kVersion))
        root.insert(kVersionKey, kVersion);
    root.insert(kValuesKey, values_);
    if (!writeAtomically(QJsonDocument(root).toJson(QJsonDocument::Indented), &error)) {
        setSaveProblem({DefaultsProblem::Kind::notSaved, path_, error, {}, 0});
        report(settingsfile::notSavedLine(path_, error));
        return;
    }
    setSaveProblem({});
    // What could not be read is now kept aside, and the file holds what is in use.
    const auto kind = loadProblem().kind;
    if (kind == DefaultsProblem::Kind::unreadable || kind == DefaultsProblem::Kind::partlyReadable)
        setLoadProblem({});
}

// The file a save replaces: settings.json itself, or the file its symbolic
// link (dotfile managers) points to, so that the link stays a link.
QString FileDefaults::writeTarget() const
{
    QString target = path_;
    for (int hops = 0; hops < 32; ++hops) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget(); // absolute, resolved against the link's folder
    }
    return target;
}

bool FileDefaults::moveUnreadableAside(QString* error)
{
    QString keptAs;
    if (!settingsfile::keepAside(writeTarget(), &keptAs, error))
        return false;
    if (!keptAs.isEmpty())
        report(settingsfile::keptAsideLine(keptAs));
    unreadable_ = false;
    return true;
}

bool FileDefaults::writeAtomically(const QByteArray& bytes, QString* error)
{
    if (!makePrivateDirectory(directory_, error))
        return false;

    const QString target = writeTarget();
    const QString targetDir = QFileInfo(target).absolutePath();
    removeStaleTemporaries(target);
    QByteArray tempName = QFile::encodeName(target + kTempSuffix + QStringLiteral("XXXXXX"));
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
    if (ok && ::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0) {
        *error = lastError();
        ok = false;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    // Make the rename itself durable. Best effort: some file systems refuse.
    const int dirFd = ::open(QFile::encodeName(targetDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
