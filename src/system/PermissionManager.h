#pragma once
// Publishes whether the process may observe the keyboard (Accessibility
// trust on macOS, input access on Linux), asks the system for it, and sends
// the user to the place where it is granted. Belongs to the main thread,
// except checkPermission, which any thread may call.

#include "base/Scheduler.h"
#include "base/QmlSingleton.h"
#include "base/SharedInstance.h"
#include "platform/System.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class PermissionManager : public QObject, public SharedInstance<PermissionManager> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isTrusted READ isTrusted NOTIFY isTrustedChanged)

public:
    // QML reaches the process-wide instance only.
    static PermissionManager* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<PermissionManager>(engine); }

    PermissionManager(AccessibilityTrust& trust, Scheduler& scheduler, QObject* parent = nullptr);
    ~PermissionManager() override;

    bool isTrusted() const { return isTrusted_; }
    bool isMonitoring() const { return timer_ != nullptr; }

    // Any thread; returns at once. Reads trust silently, then publishes the
    // result on the main queue (even when it did not change).
    Q_INVOKABLE void checkPermission();
    // Main thread. Prompts where the system can; publishes the result on the
    // main queue and, when untrusted, opens the settings where it is granted.
    Q_INVOKABLE void requestPermission();
    // Main thread. Re-checks every 10 s and whenever Kestrune becomes active.
    Q_INVOKABLE void startMonitoring();
    Q_INVOKABLE void stopMonitoring();

public slots:
    // Connected to the application becoming active; acts only while monitoring.
    void handleAppDidBecomeActive();

signals:
    void isTrustedChanged();

private:
    void publish(bool trusted);
    void openAccessibilitySettings();

    AccessibilityTrust& trust_;
    Scheduler& scheduler_;
    bool isTrusted_ = false;
    WorkItemPtr timer_;
};

} // namespace kestrune
