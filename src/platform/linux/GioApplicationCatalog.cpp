#include "platform/linux/GioApplicationCatalog.h"

#include "platform/linux/GioHeaders.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {

struct GFree {
    void operator()(gpointer p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<char, GFree>;

struct KeyFileFree {
    void operator()(GKeyFile* f) const { g_key_file_free(f); }
};

QString iconNameOf(GAppInfo* info)
{
    GIcon* icon = g_app_info_get_icon(info);
    if (!icon)
        return {};
    if (G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        return names && *names ? QString::fromUtf8(*names) : QString();
    }
    if (G_IS_FILE_ICON(icon)) {
        GCharPtr path(g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon))));
        return path ? QFile::decodeName(path.get()) : QString();
    }
    return QString::fromUtf8(GCharPtr(g_icon_to_string(icon)).get());
}

InstalledApplication describe(GDesktopAppInfo* info)
{
    InstalledApplication app;
    app.url = QUrl::fromLocalFile(QFile::decodeName(g_desktop_app_info_get_filename(info)));
    app.name = QString::fromUtf8(g_app_info_get_name(G_APP_INFO(info)));
    app.iconName = iconNameOf(G_APP_INFO(info));
    if (const char* generic = g_desktop_app_info_get_generic_name(info); generic && *generic)
        app.searchTerms << QString::fromUtf8(generic);
    if (const char* const* keywords = g_desktop_app_info_get_keywords(info)) {
        for (; *keywords; ++keywords)
            app.searchTerms << QString::fromUtf8(*keywords);
    }
    return app;
}

// The program an Exec line starts (its first word), or empty.
QString firstWord(const char* exec)
{
    gchar** argv = nullptr;
    if (!exec || !g_shell_parse_argv(exec, nullptr, &argv, nullptr))
        return {};
    QString word = argv[0] ? QFile::decodeName(argv[0]) : QString();
    g_strfreev(argv);
    return word;
}

bool isInstalled(const QString& program)
{
    if (program.startsWith(QLatin1Char('/')))
        return QFileInfo(program).isExecutable();
    return GCharPtr(g_find_program_in_path(QFile::encodeName(program).constData())) != nullptr;
}

} // namespace

QList<InstalledApplication> GioApplicationCatalog::applications()
{
    QList<InstalledApplication> list;
    GList* all = g_app_info_get_all();
    for (GList* node = all; node; node = node->next) {
        auto* info = static_cast<GAppInfo*>(node->data);
        // Shown in menus, and with a program to run (GIO lists entries
        // without an Exec line too).
        const char* executable = g_app_info_get_executable(info);
        if (G_IS_DESKTOP_APP_INFO(info) && g_app_info_should_show(info) && executable && *executable) {
            InstalledApplication app = describe(G_DESKTOP_APP_INFO(info));
            if (!app.name.isEmpty())
                list.append(std::move(app));
        }
    }
    g_list_free_full(all, g_object_unref);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.begin(), list.end(), [&](const InstalledApplication& a, const InstalledApplication& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return list;
}

ApplicationProblem GioApplicationCatalog::check(const QString& path, InstalledApplication* app, QString* program)
{
    if (!path.endsWith(QLatin1String(".desktop")))
        return QFileInfo(path).isFile() ? ApplicationProblem::notDesktopFile : ApplicationProblem::unreadable;
    const QByteArray file = QFile::encodeName(path);
    // The file is read again at every launch: one that another account may
    // change could by then start a program of that account's choosing.
    struct stat status {};
    if (::stat(file.constData(), &status) != 0)
        return ApplicationProblem::unreadable;
    if (status.st_uid != ::geteuid() && status.st_uid != 0)
        return ApplicationProblem::notOwnedByUser;
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return ApplicationProblem::writableByOthers;
    std::unique_ptr<GKeyFile, KeyFileFree> keys(g_key_file_new());
    if (!g_key_file_load_from_file(keys.get(), file.constData(), G_KEY_FILE_NONE, nullptr))
        return ApplicationProblem::unreadable;
    auto value = [&](const char* key) {
        return GCharPtr(g_key_file_get_string(keys.get(), G_KEY_FILE_DESKTOP_GROUP, key, nullptr));
    };
    if (!g_key_file_has_group(keys.get(), G_KEY_FILE_DESKTOP_GROUP))
        return ApplicationProblem::notDesktopFile;
    const GCharPtr type = value(G_KEY_FILE_DESKTOP_KEY_TYPE);
    if (!type || qstrcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_APPLICATION) != 0)
        return ApplicationProblem::notApplication;
    if (g_key_file_get_boolean(keys.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_HIDDEN, nullptr))
        return ApplicationProblem::hidden;
    const GCharPtr exec = value(G_KEY_FILE_DESKTOP_KEY_EXEC);
    const QString execProgram = firstWord(exec.get());
    if (execProgram.isEmpty())
        return ApplicationProblem::noProgram;
    const GCharPtr tryExec = value(G_KEY_FILE_DESKTOP_KEY_TRY_EXEC);
    for (const QString& needed : {tryExec ? QString::fromUtf8(tryExec.get()) : QString(), execProgram}) {
        if (!needed.isEmpty() && !isInstalled(needed)) {
            if (program)
                *program = needed;
            return ApplicationProblem::programMissing;
        }
    }
    std::unique_ptr<GDesktopAppInfo, void (*)(gpointer)> info(g_desktop_app_info_new_from_keyfile(keys.get()),
                                                              g_object_unref);
    if (!info)
        return ApplicationProblem::notApplication;
    if (app) {
        *app = describe(info.get());
        // An info made from a key file knows no file name of its own.
        app->url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    }
    return ApplicationProblem::none;
}

} // namespace kestrune
