#pragma once
// GNOME Shell's and KWin's parts on a private bus, played by the test: the
// Shell's Extensions interface with Kestrune's extension object, and KWin's
// scripting interface. They live on a thread of their own, so that the
// short blocking calls Kestrune makes to them are answered meanwhile.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

#include <map>

namespace kestrune::test {

// org.gnome.Shell.Extensions at /org/gnome/Shell.
class FakeShellExtensions : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.Extensions")
    Q_PROPERTY(bool UserExtensionsEnabled READ userExtensionsEnabled WRITE setUserExtensionsEnabled)

public:
    explicit FakeShellExtensions(const QDBusConnection& bus) : bus_(bus) {}

    void setState(const QString& uuid, int state)
    {
        QMutexLocker lock(&mutex_);
        states_[uuid] = state;
    }
    QStringList enabled() const
    {
        QMutexLocker lock(&mutex_);
        return enabledCalls_;
    }
    bool userExtensionsEnabled() const
    {
        QMutexLocker lock(&mutex_);
        return userExtensions_;
    }
    void setUserExtensionsEnabled(bool on)
    {
        QMutexLocker lock(&mutex_);
        userExtensions_ = on;
    }

public slots:
    QVariantMap GetExtensionInfo(const QString& uuid)
    {
        QMutexLocker lock(&mutex_);
        const auto it = states_.find(uuid);
        if (it == states_.end())
            return {}; // not installed
        return {{QStringLiteral("uuid"), uuid}, {QStringLiteral("state"), double(it->second)}};
    }
    bool EnableExtension(const QString& uuid)
    {
        {
            QMutexLocker lock(&mutex_);
            enabledCalls_ << uuid;
            if (!userExtensions_ || states_.count(uuid) == 0)
                return false;
            states_[uuid] = 1;
        }
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/gnome/Shell"),
                                                         QStringLiteral("org.gnome.Shell.Extensions"),
                                                         QStringLiteral("ExtensionStateChanged"));
        signal << uuid << QVariant::fromValue(QVariantMap{{QStringLiteral("state"), 1.0}});
        bus_.send(signal);
        return true;
    }

private:
    QDBusConnection bus_;
    mutable QMutex mutex_;
    std::map<QString, int> states_;
    QStringList enabledCalls_;
    bool userExtensions_ = true;
};

// Kestrune's extension, as the Shell runs it.
class FakeShellExtensionObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kestrune.Kestrune.ShellExtension")

public:
    void setFocus(const QStringList& focus)
    {
        QMutexLocker lock(&mutex_);
        focus_ = focus;
    }

public slots:
    QString GetActiveApplication(QString& wmClass, QString& instance, int& pid)
    {
        QMutexLocker lock(&mutex_);
        wmClass = focus_.value(1);
        instance = focus_.value(2);
        pid = focus_.value(3).toInt();
        return focus_.value(0);
    }

private:
    QMutex mutex_;
    QStringList focus_{QString(), QString(), QString(), QStringLiteral("0")};
};

// org.kde.kwin.Scripting at /Scripting.
class FakeKWinScripting : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    void refuseLoading() { refuse_ = true; }
    QStringList calls() const
    {
        QMutexLocker lock(&mutex_);
        return calls_;
    }
    bool isLoaded(const QString& name) const
    {
        QMutexLocker lock(&mutex_);
        return loaded_.count(name) > 0;
    }

public slots:
    int loadScript(const QString& path, const QString& name)
    {
        QMutexLocker lock(&mutex_);
        calls_ << QStringLiteral("load ") + name + QLatin1Char(' ') + path;
        if (refuse_ || loaded_.count(name))
            return -1;
        loaded_[name] = path;
        return 3;
    }
    bool unloadScript(const QString& name)
    {
        QMutexLocker lock(&mutex_);
        calls_ << QStringLiteral("unload ") + name;
        return loaded_.erase(name) > 0;
    }
    bool isScriptLoaded(const QString& name) { return isLoaded(name); }
    void start()
    {
        QMutexLocker lock(&mutex_);
        calls_ << QStringLiteral("start");
    }

private:
    mutable QMutex mutex_;
    std::map<QString, QString> loaded_;
    QStringList calls_;
    bool refuse_ = false;
};

// Three clients of a private bus, each with a connection of its own:
// Kestrune, the desktop (the Shell or KWin), and an impostor.
class BusClients {
public:
    explicit BusClients(const QString& address)
    {
        static int made = 0;
        ++made;
        for (int i = 0; i < 3; ++i) {
            names_[i] = QStringLiteral("client-%1-%2").arg(made).arg(i);
            QDBusConnection::connectToBus(address, names_[i]);
        }
    }
    ~BusClients()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
    }
    bool isConnected() const { return kestrune().isConnected() && desktop().isConnected() && intruder().isConnected(); }
    QDBusConnection kestrune() const { return QDBusConnection(names_[0]); }
    QDBusConnection desktop() const { return QDBusConnection(names_[1]); }
    QDBusConnection intruder() const { return QDBusConnection(names_[2]); }

private:
    QString names_[3];
};

// A thread for the fakes' objects, stopped (after the objects are gone) at the end.
class ServiceThread {
public:
    ServiceThread() { thread_.start(); }
    ~ServiceThread()
    {
        thread_.quit();
        thread_.wait();
    }
    // Moves `object` to the thread; it must have no parent.
    template <typename T> T* adopt(T* object)
    {
        object->moveToThread(&thread_);
        return object;
    }

private:
    QThread thread_;
};

} // namespace kestrune::test
