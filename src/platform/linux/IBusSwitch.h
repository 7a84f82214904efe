#pragma once
// Eisu and Kana through IBus, on ibus-daemon's own bus (its address comes
// from IBUS_ADDRESS or the file the daemon writes under
// ~/.config/ibus/bus/).
//
// Kana makes the Japanese engine the global one, then activates the
// engine's own hiragana property (InputMode.Hiragana, in Mozc and Anthy
// alike) on the engine object, which the engine's process exports and
// creates anew whenever the engine is switched to. Eisu activates its
// direct-input property (Mozc's InputMode.Direct, Anthy's InputMode.Latin)
// and leaves the global engine alone; with a keyboard layout in front, input
// is direct already. These calls are the ones a panel makes; the result is
// read back from the global engine.
//
// Under GNOME Shell, the Shell owns the input sources and shows the current
// one: Kana selects the Japanese source through Kestrune's Shell extension,
// as the Shell's own switcher does, instead of setting the engine behind the
// Shell's back.
//
// Main thread.

#include "platform/InputMethod.h"

#include <QDBusConnection>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kestrune {

class IBusSwitch : public QObject {
    Q_OBJECT
public:
    struct Engine {
        QString id;   // "mozc-jp"
        QString name; // "Mozc"
        int shellSource = -1; // under GNOME Shell: the input source's index
    };
    using Done = std::function<void(std::optional<InputMode> reached, QString problem)>;

    explicit IBusSwitch(QProcessEnvironment environment, QObject* parent = nullptr);
    ~IBusSwitch() override;

    // The daemon's address for this session, or empty when none runs.
    static QString findAddress(const QProcessEnvironment& environment);
    // Connects to the daemon, again when its address changed. Quick: a
    // local socket, and only when the address file names a live daemon.
    bool connectToDaemon();
    // The objects right under `basePath`, from its introspection: an
    // engine process's engine objects.
    static QStringList childObjects(const QString& introspection, const QString& basePath);
    bool isConnected() const;

    // Under GNOME Shell: the session bus the Shell and its extension are on.
    void setShell(std::optional<QDBusConnection> sessionBus);
    bool hasShell() const { return shell_.has_value(); }

    // The Japanese engine the user set up: under GNOME Shell the first
    // Japanese input source; otherwise the first Japanese engine of IBus's
    // preload list, else an installed Mozc or Anthy.
    void findEngine(std::function<void(std::optional<Engine> engine, bool shellAnswered)> done);
    void switchTo(InputMode mode, const std::optional<Engine>& engine, Done done);

private:
    void globalEngine(std::function<void(QString id)> done);
    void japaneseAmong(const QStringList& names, std::function<void(std::optional<Engine>)> done);
    void activateProperty(const QString& engine, InputMode mode, int triesLeft, Done done);
    void afterSwitch(const QString& engine, int triesLeft, Done done);

    QProcessEnvironment environment_;
    QString address_;
    QString connectionName_;
    std::optional<QDBusConnection> shell_;
};

} // namespace kestrune
