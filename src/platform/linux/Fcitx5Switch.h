#pragma once
// Eisu and Kana through fcitx5's controller on the session bus.
//
// Eisu: Deactivate, which leaves the group's first entry (the keyboard
// layout) in charge: direct input. Kana: SetCurrentIM with the Japanese
// engine of the current group, then its hiragana mode, which each engine
// reaches its own way: Mozc remembers katakana or half-width Latin across
// off and on and reads the Hiragana key as "hiragana" (pressed through the
// virtual keyboard once the engine is current); Anthy ignores that key, but
// its "Input mode" setting, changed through fcitx5's configuration call,
// applies at once. The mode reached is read back with State.
//
// Main thread.

#include "platform/InputMethod.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace kestrune {

class Fcitx5Switch : public QObject {
    Q_OBJECT
public:
    static const QString kService;

    struct Engine {
        QString id;   // "mozc"
        QString name; // "Mozc"
    };
    using Done = std::function<void(std::optional<InputMode> reached, QString problem)>;

    // `pressHiragana` types the Hiragana key into the focused application.
    Fcitx5Switch(const QDBusConnection& bus, std::function<void()> pressHiragana, QObject* parent = nullptr);

    // Finds the Japanese engine of the current group; `done` gets it, or
    // none when the group has none. Reads the list of every input method
    // fcitx5 knows once.
    void findEngine(std::function<void(std::optional<Engine>)> done);
    void switchTo(InputMode mode, const std::optional<Engine>& engine, Done done);
    // The list of input methods is read again on the next look.
    void forgetInputMethods() { known_.clear(); }

private:
    void turnOn(const QString& id, int triesLeft, Done done);
    void hiragana(const QString& id, Done done);
    void readState(Done done);
    void engineOfGroup(std::function<void(std::optional<Engine>)> done);

    QDBusConnection bus_;
    std::function<void()> pressHiragana_;
    // Every input method fcitx5 offers: id → (name, language).
    QHash<QString, std::pair<QString, QString>> known_;
};

} // namespace kestrune
