#pragma once
// One Hyper + key binding that opens an application.

#include "base/KeyCodes.h"

#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QUuid>

namespace kestrune {

struct LauncherShortcut {
    Q_GADGET
    Q_PROPERTY(QUuid id MEMBER id)
    Q_PROPERTY(qint64 keyCode MEMBER keyCode)
    Q_PROPERTY(QUrl appURL MEMBER appURL)
    Q_PROPERTY(QString appName MEMBER appName)

public:
    QUuid id;            // fresh for every registration
    qint64 keyCode = 0;  // macOS virtual key code (a KeyCode)
    QUrl appURL;         // file URL of the application
    QString appName;     // last path component of appURL without extension

    friend bool operator==(const LauncherShortcut&, const LauncherShortcut&) = default;
};

} // namespace kestrune
