#pragma once
// Kestrune runs once per user. The first process holds a lock file and
// listens on a local socket in the user's runtime folder; a later one finds
// the lock taken, asks the first to show its panel, and exits without ever
// starting a second engine. Main thread.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace kestrune {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: where the lock and the socket live (the runtime folder).
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance from now on. False when
    // another holds the lock; it has then been asked to show its panel
    // (`notified` tells whether it answered).
    bool claim(bool* notified = nullptr);

    static QString defaultFolder();

signals:
    // Another launch asked the running instance to show itself.
    void activationRequested();

private:
    bool notifyRunningInstance();

    QString folder_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace kestrune
