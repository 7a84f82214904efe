#include "apps/Applications.h"

#include <QFileInfo>

#include <algorithm>

namespace kestrune {

namespace {
// Case and accents do not matter when searching: "écran" finds "Ecran".
QString folded(const QString& text)
{
    QString decomposed = text.normalized(QString::NormalizationForm_KD).toCaseFolded();
    decomposed.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return decomposed;
}

enum Role { UrlRole = Qt::UserRole + 1, NameRole };
} // namespace

InstalledApplicationsModel::InstalledApplicationsModel(QObject* parent) : QAbstractListModel(parent)
{
    reload();
}

void InstalledApplicationsModel::reload()
{
    Applications* apps = Applications::shared();
    all_ = apps && apps->catalog() ? apps->catalog()->applications() : QList<InstalledApplication>{};
    applyFilter();
}

void InstalledApplicationsModel::setFilter(const QString& filter)
{
    if (filter == filter_)
        return;
    filter_ = filter;
    applyFilter();
    emit filterChanged();
}

void InstalledApplicationsModel::applyFilter()
{
    const QString needle = folded(filter_.trimmed());
    beginResetModel();
    shown_.clear();
    // Names that match first, then those found by kind or keyword ("term"
    // finds a terminal whatever it is called).
    QList<InstalledApplication> byTerm;
    for (const InstalledApplication& app : all_) {
        if (needle.isEmpty() || folded(app.name).contains(needle))
            shown_.append(app);
        else if (std::any_of(app.searchTerms.begin(), app.searchTerms.end(),
                             [&](const QString& term) { return folded(term).contains(needle); }))
            byTerm.append(app);
    }
    shown_.append(byTerm);
    endResetModel();
    emit countChanged();
}

int InstalledApplicationsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant InstalledApplicationsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_.size())
        return {};
    const InstalledApplication& app = shown_.at(index.row());
    switch (role) {
    case UrlRole:
        return app.url;
    case Qt::DisplayRole:
    case NameRole:
        return app.name;
    default:
        return {};
    }
}

QHash<int, QByteArray> InstalledApplicationsModel::roleNames() const
{
    return {{UrlRole, "url"}, {NameRole, "name"}};
}

QUrl InstalledApplicationsModel::urlAt(int row) const
{
    return row >= 0 && row < shown_.size() ? shown_.at(row).url : QUrl();
}

QString InstalledApplicationsModel::nameAt(int row) const
{
    return row >= 0 && row < shown_.size() ? shown_.at(row).name : QString();
}

Applications::Applications(Workspace& workspace, ApplicationCatalog* catalog, QObject* parent)
    : QObject(parent), workspace_(workspace), catalog_(catalog)
{
}

QString Applications::displayName(const QUrl& url, const QString& fallback) const
{
    const std::optional<AppIdentity> identity = workspace_.applicationAt(url);
    return identity && !identity->name.isEmpty() ? identity->name : fallback;
}

QString Applications::iconNameFor(const QUrl& url) const
{
    const std::optional<AppIdentity> identity = workspace_.applicationAt(url);
    return identity ? identity->iconName : QString();
}

QString Applications::problemWith(const QUrl& url) const
{
    if (!catalog_)
        return workspace_.applicationAt(url) ? QString() : tr("This is not an application.");
    QString program;
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.toString();
    switch (catalog_->check(path, nullptr, &program)) {
    case ApplicationProblem::none:
        return {};
    case ApplicationProblem::unreadable:
        return tr("“%1” could not be read.").arg(QFileInfo(path).fileName());
    case ApplicationProblem::notDesktopFile:
        return tr("“%1” is not a .desktop file.").arg(QFileInfo(path).fileName());
    case ApplicationProblem::notApplication:
        return tr("“%1” is a link or a folder entry, not an application.").arg(QFileInfo(path).fileName());
    case ApplicationProblem::hidden:
        return tr("“%1” is marked hidden: it removes an application rather than starting one.")
            .arg(QFileInfo(path).fileName());
    case ApplicationProblem::noProgram:
        return tr("“%1” names no program to run.").arg(QFileInfo(path).fileName());
    case ApplicationProblem::programMissing:
        return tr("“%1” runs “%2”, which is not installed.").arg(QFileInfo(path).fileName(), program);
    case ApplicationProblem::notOwnedByUser:
        return tr("“%1” belongs to another account, which could change it later.").arg(QFileInfo(path).fileName());
    case ApplicationProblem::writableByOthers:
        return tr("“%1” may be changed by other accounts (its group or everyone may write it).")
            .arg(QFileInfo(path).fileName());
    }
    return {};
}

} // namespace kestrune
