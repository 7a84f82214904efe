#pragma once
// Eisu and Kana on Linux: drives the input method the session runs, found
// on the session bus at start and followed while running: fcitx5, or IBus
// (under GNOME Shell through the Shell's input sources). With none, requests
// are refused and the engine sends the JIS keys as before.
//
// `summary` says in the user's words which input method is driven, or what
// is missing, for the L/R card's help.
//
// Threads: request() from any thread (QueuedInputMethod); the rest on the
// main thread.

#include "platform/QueuedInputMethod.h"
#include "platform/linux/Fcitx5Switch.h"
#include "platform/linux/IBusSwitch.h"

#include <QDBusConnection>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>

#include <functional>
#include <optional>

class QDBusServiceWatcher;

namespace kestrune {

class LinuxInputMethod final : public QObject, public QueuedInputMethod {
    Q_OBJECT
    Q_PROPERTY(QString summary READ summary NOTIFY summaryChanged)
public:
    enum class Framework { none, fcitx5, ibus };

    // `pressHiragana` types the Hiragana key into the focused application.
    LinuxInputMethod(Scheduler& scheduler, const QDBusConnection& sessionBus, std::function<void()> pressHiragana,
                     QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
                     QObject* parent = nullptr);
    ~LinuxInputMethod() override;

    Framework framework() const { return framework_; }
    // Whether a request would be taken now.
    bool canSwitch() const { return isAvailable(); }
    // "fcitx5 with Mozc"; empty while no input method was found.
    QString driven() const;
    QString summary() const;
    // Looks again at what runs; the watchers call it on every change.
    void detect();

signals:
    void summaryChanged();
    // Detection finished (tests wait for it).
    void detected();

protected:
    void begin(InputMode mode) override;

private:
    void settle(Framework framework, QString frameworkName, std::optional<QString> engineName, bool shellExtension,
                int generation);
    void done(std::optional<InputMode> reachedMode, const QString& problem);
    void askOwned(const QString& name, std::function<void(bool)> then);

    QDBusConnection bus_;
    Fcitx5Switch fcitx_;
    IBusSwitch ibus_;
    QDBusServiceWatcher* watcher_ = nullptr;
    int generation_ = 0;
    Framework framework_ = Framework::none;
    QString frameworkName_;
    std::optional<QString> engineName_;
    bool shellExtension_ = true;
    QString problem_;
};

} // namespace kestrune
