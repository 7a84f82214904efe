#pragma once
// One application in which the remapper stands aside.

#include <QMetaType>
#include <QString>
#include <QUuid>

namespace kestrune {

struct ExcludedApp {
    Q_GADGET
    Q_PROPERTY(QUuid id MEMBER id)
    Q_PROPERTY(QString bundleID MEMBER bundleID)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString path MEMBER path)

public:
    QUuid id;         // fresh when added
    QString bundleID; // decides exclusion, and identity: see operator==
    QString name;     // last path component of the application without extension
    QString path;     // file-system path of the application (for its icon)

    // Two entries are the same application when their identifiers match,
    // wherever it lives and whatever it is called.
    friend bool operator==(const ExcludedApp& a, const ExcludedApp& b) { return a.bundleID == b.bundleID; }
};

} // namespace kestrune
