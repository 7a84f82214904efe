#include "platform/linux/DesktopApplications.h"

#include "platform/linux/GioHeaders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <memory>

namespace kestrune {

namespace {

const QString kSuffix = QStringLiteral(".desktop");

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfoPtr = std::unique_ptr<GDesktopAppInfo, GObjectUnref>;

struct GFree {
    void operator()(gpointer p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<char, GFree>;

QString stripSuffix(QString id)
{
    if (id.endsWith(kSuffix))
        id.chop(kSuffix.size());
    return id;
}

QString keyString(GDesktopAppInfo* info, const char* key)
{
    return QString::fromUtf8(GCharPtr(g_desktop_app_info_get_string(info, key)).get());
}

// Launchable means what a menu could start: hidden entries are deleted ones,
// and an entry without Exec has nothing to run.
bool isLaunchable(GDesktopAppInfo* info)
{
    return keyString(info, G_KEY_FILE_DESKTOP_KEY_TYPE) == QLatin1String(G_KEY_FILE_DESKTOP_TYPE_APPLICATION)
        && !g_desktop_app_info_get_is_hidden(info) && !keyString(info, G_KEY_FILE_DESKTOP_KEY_EXEC).trimmed().isEmpty();
}

// The desktop-file id of a file inside an applications folder
// ("<data dir>/applications/vendor/app.desktop" is "vendor-app"), else its
// file name.
QString identifierForFile(const QString& path)
{
    QStringList dataDirs{QFile::decodeName(g_get_user_data_dir())};
    for (const gchar* const* dir = g_get_system_data_dirs(); *dir; ++dir)
        dataDirs.append(QFile::decodeName(*dir));
    const QString clean = QDir::cleanPath(path);
    for (const QString& dir : dataDirs) {
        const QString prefix = QDir::cleanPath(dir + QStringLiteral("/applications")) + QLatin1Char('/');
        if (clean.startsWith(prefix))
            return stripSuffix(clean.mid(prefix.size()).replace(QLatin1Char('/'), QLatin1Char('-')));
    }
    return stripSuffix(QFileInfo(clean).fileName());
}

// The application a URL names, with its identifier; null unless launchable.
AppInfoPtr load(const QUrl& url, QString* identifier)
{
    QString path;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().isEmpty())
        path = url.path();
    if (path.isEmpty())
        return nullptr;

    AppInfoPtr info;
    if (path.startsWith(QLatin1Char('/'))) {
        if (!path.endsWith(kSuffix) || !QFileInfo(path).isFile())
            return nullptr;
        info.reset(g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData()));
        *identifier = identifierForFile(path);
    } else {
        if (path.contains(QLatin1Char('/')))
            return nullptr;
        const QString id = stripSuffix(path);
        info.reset(g_desktop_app_info_new((id + kSuffix).toUtf8().constData()));
        *identifier = id;
    }
    if (!info || !isLaunchable(info.get()))
        return nullptr;
    return info;
}

// The program an Exec line runs: past "env" and its assignments.
QString executableOf(GDesktopAppInfo* info)
{
    const QByteArray exec = keyString(info, G_KEY_FILE_DESKTOP_KEY_EXEC).toUtf8();
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(exec.constData(), nullptr, &argv, nullptr))
        return {};
    QString program;
    bool afterEnv = false;
    for (gchar** arg = argv; *arg; ++arg) {
        const QString word = QFile::decodeName(*arg);
        if (!afterEnv && QFileInfo(word).fileName() == QLatin1String("env")) {
            afterEnv = true;
            continue;
        }
        if (afterEnv && (word.contains(QLatin1Char('=')) || word.startsWith(QLatin1Char('-'))))
            continue;
        program = QFileInfo(word).fileName();
        break;
    }
    g_strfreev(argv);
    return program;
}

// Programs that run many applications: their name says nothing about which.
bool isGenericRunner(const QString& program)
{
    static const QSet<QString> runners{
        QStringLiteral("sh"),     QStringLiteral("bash"),   QStringLiteral("dash"),  QStringLiteral("zsh"),
        QStringLiteral("flatpak"), QStringLiteral("snap"),  QStringLiteral("java"),  QStringLiteral("perl"),
        QStringLiteral("ruby"),   QStringLiteral("node"),   QStringLiteral("wine"),  QStringLiteral("pkexec"),
        QStringLiteral("sudo"),   QStringLiteral("gjs"),    QStringLiteral("mono"),  QStringLiteral("xdg-open"),
    };
    return program.isEmpty() || runners.contains(program) || program.startsWith(QLatin1String("python"));
}

} // namespace

DesktopApplications::DesktopApplications()
{
    GAppInfoMonitor* monitor = g_app_info_monitor_get();
    monitor_ = monitor;
    handler_ = g_signal_connect(monitor, "changed", G_CALLBACK(&DesktopApplications::changedCallback), this);
}

DesktopApplications::~DesktopApplications()
{
    g_signal_handler_disconnect(monitor_, handler_);
    g_object_unref(monitor_);
}

void DesktopApplications::changedCallback(void*, void* self)
{
    auto* apps = static_cast<DesktopApplications*>(self);
    apps->indexStale_ = true;
    if (apps->onChanged) {
        const auto hook = apps->onChanged;
        hook();
    }
}

std::optional<AppIdentity> DesktopApplications::identity(const QUrl& url) const
{
    QString identifier;
    const AppInfoPtr info = load(url, &identifier);
    if (!info)
        return std::nullopt;
    return AppIdentity{identifier, QString::fromUtf8(g_app_info_get_name(G_APP_INFO(info.get()))),
                       keyString(info.get(), G_KEY_FILE_DESKTOP_KEY_ICON)};
}

void DesktopApplications::rebuildIndex()
{
    byId_.clear();
    byWmClass_.clear();
    byExecutable_.clear();
    // GIO lists the applications in the order the folders take precedence,
    // so the first to claim a name keeps it.
    GList* all = g_app_info_get_all();
    for (GList* item = all; item; item = item->next) {
        if (!G_IS_DESKTOP_APP_INFO(item->data))
            continue;
        auto* info = G_DESKTOP_APP_INFO(item->data);
        const char* fileId = g_app_info_get_id(G_APP_INFO(info));
        if (!fileId || !isLaunchable(info))
            continue;
        const QString id = stripSuffix(QString::fromUtf8(fileId));
        byId_.insert(id.toLower(), id);
        if (const char* wmClass = g_desktop_app_info_get_startup_wm_class(info); wmClass && *wmClass)
            byWmClass_.insert(QString::fromUtf8(wmClass).toLower(), id);
        if (const QString program = executableOf(info); !isGenericRunner(program) && !byExecutable_.contains(program))
            byExecutable_.insert(program, id);
    }
    g_list_free_full(all, g_object_unref);
    indexStale_ = false;
}

std::optional<QString> DesktopApplications::identifierFor(const WindowHints& hints)
{
    if (indexStale_)
        rebuildIndex();
    auto find = [](const QHash<QString, QString>& index, const QString& key) -> std::optional<QString> {
        if (key.isEmpty())
            return std::nullopt;
        const auto it = index.constFind(key);
        return it == index.constEnd() ? std::nullopt : std::optional<QString>(*it);
    };
    const QString declared = stripSuffix(hints.applicationId);
    if (auto id = find(byId_, declared.toLower()))
        return id;
    for (const QString& name : {hints.windowClass, hints.instance})
        if (auto id = find(byWmClass_, name.toLower()))
            return id;
    for (const QString& name : {hints.windowClass, hints.instance})
        if (auto id = find(byId_, name.toLower()))
            return id;
    if (auto id = find(byExecutable_, hints.executable))
        return id;
    for (const QString& name : {declared, hints.windowClass, hints.instance})
        if (!name.isEmpty())
            return name;
    return std::nullopt;
}

QString DesktopApplications::launch(const QUrl& url) const
{
    QString identifier;
    const AppInfoPtr info = load(url, &identifier);
    if (!info)
        return kNotFoundError;
    GAppLaunchContext* context = g_app_launch_context_new();
    GError* error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(info.get()), nullptr, context, &error);
    g_object_unref(context);
    if (launched)
        return {};
    QString text = error ? QString::fromUtf8(error->message) : QCoreApplication::translate("DesktopApplications", "The application could not be started.");
    g_clear_error(&error);
    return text;
}

QString DesktopApplications::executableOfProcess(quint32 pid)
{
    if (pid == 0)
        return {};
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (target.endsWith(QLatin1String(" (deleted)"))) // replaced by an upgrade while running
        target.chop(10);
    return QFileInfo(target).fileName();
}

bool DesktopApplications::openUri(const QUrl& url, QString* error)
{
    GError* gerror = nullptr;
    const bool opened = g_app_info_launch_default_for_uri(url.toEncoded().constData(), nullptr, &gerror);
    if (!opened && error)
        *error = gerror ? QString::fromUtf8(gerror->message) : QCoreApplication::translate("DesktopApplications", "No application can open it.");
    g_clear_error(&gerror);
    return opened;
}

} // namespace kestrune
