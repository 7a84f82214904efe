#pragma once
// Whether Kestrune starts at login, kept in step with the system's login
// item. The system's status is read once, at creation; a change made
// elsewhere while Kestrune runs is picked up at the next launch. Failures go
// to the console only; the switch keeps the user's choice.
//
// Main thread only. The login item and the console must outlive it.

#include "base/Console.h"
#include "base/QmlSingleton.h"
#include "base/SharedInstance.h"
#include "platform/System.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class LaunchAtLoginManager : public QObject, public SharedInstance<LaunchAtLoginManager> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setIsEnabled NOTIFY isEnabledChanged)

public:
    // QML reaches the process-wide instance only.
    static LaunchAtLoginManager* create(QQmlEngine*, QJSEngine* engine)
    {
        return qmlSharedInstance<LaunchAtLoginManager>(engine);
    }

    LaunchAtLoginManager(LoginItem& loginItem, Console& console, QObject* parent = nullptr);

    bool isEnabled() const { return isEnabled_; }
    // Every write, even of the value already there, brings the login item in
    // line with it.
    void setIsEnabled(bool enabled);

signals:
    void isEnabledChanged();

private:
    void updateLoginItem();

    LoginItem& loginItem_;
    Console& console_;
    bool isEnabled_ = false;
};

} // namespace kestrune
