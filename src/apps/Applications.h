#pragma once
// What the editors show of an application and how the user picks one: the
// name and icon of a stored application, the installed applications
// filtered by what the user types, and the check of a file chosen with
// "Browse…", whose refusal gives its reason in one line (QML singleton
// `Applications`). Main thread.
//
// Without a catalogue (a backend that has none) the chooser is not offered
// and the editors open a file dialog instead.

#include "base/QmlSingleton.h"
#include "base/SharedInstance.h"
#include "platform/ApplicationCatalog.h"
#include "platform/System.h"

#include <QAbstractListModel>
#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

// The installed applications whose name, kind or keywords contain `filter`
// (ignoring case and accents), in the catalogue's order, those found by name
// first. Roles: url, name.
class InstalledApplicationsModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString filter READ filter WRITE setFilter NOTIFY filterChanged)
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)

public:
    explicit InstalledApplicationsModel(QObject* parent = nullptr);

    QString filter() const { return filter_; }
    void setFilter(const QString& filter);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE QUrl urlAt(int row) const;
    Q_INVOKABLE QString nameAt(int row) const;
    // Reads the catalogue again (it is read when the model is made).
    Q_INVOKABLE void reload();

signals:
    void filterChanged();
    void countChanged();

private:
    void applyFilter();

    QList<InstalledApplication> all_;
    QList<InstalledApplication> shown_;
    QString filter_;
};

class Applications : public QObject, public SharedInstance<Applications> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool hasCatalog READ hasCatalog CONSTANT)

public:
    static Applications* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<Applications>(engine); }

    // `catalog` may be null. Both outlive this object.
    Applications(Workspace& workspace, ApplicationCatalog* catalog, QObject* parent = nullptr);

    bool hasCatalog() const { return catalog_ != nullptr; }
    ApplicationCatalog* catalog() const { return catalog_; }

    // The application's own name where the workspace knows it, else `fallback`.
    Q_INVOKABLE QString displayName(const QUrl& url, const QString& fallback) const;
    // An empty text when the file is a launchable application, else the
    // reason it is not, in one line.
    Q_INVOKABLE QString problemWith(const QUrl& url) const;
    // The file URL of a path, escaped as URLs need ("#", "?", spaces).
    Q_INVOKABLE static QUrl fileUrl(const QString& path) { return QUrl::fromLocalFile(path); }
    // The icon theme name or file of the application at `url`; empty if none.
    QString iconNameFor(const QUrl& url) const;

private:
    Workspace& workspace_;
    ApplicationCatalog* catalog_;
};

} // namespace kestrune
