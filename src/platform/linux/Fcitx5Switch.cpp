#include "platform/linux/Fcitx5Switch.h"

#include "platform/linux/DBusCall.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QTimer>
#include <QVariantMap>

namespace kestrune {

const QString Fcitx5Switch::kService = QStringLiteral("org.fcitx.Fcitx5");

namespace {
const QString kPath = QStringLiteral("/controller");
const QString kInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
constexpr int kStateActive = 2; // State: 0 closed, 1 inactive (direct input), 2 active
constexpr int kTurnOnTries = 20;
constexpr int kTurnOnStepMs = 50;

QDBusMessage controller(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(Fcitx5Switch::kService, kPath, kInterface, method);
    m.setArguments(arguments);
    return m;
}

} // namespace

Fcitx5Switch::Fcitx5Switch(const QDBusConnection& bus, std::function<void()> pressHiragana, QObject* parent)
    : QObject(parent), bus_(bus), pressHiragana_(std::move(pressHiragana))
{
}

void Fcitx5Switch::findEngine(std::function<void(std::optional<Engine>)> done)
{
    if (!known_.isEmpty()) {
        engineOfGroup(std::move(done));
        return;
    }
    dbus::callAsync(bus_, controller(QStringLiteral("AvailableInputMethods")), this,
                    [this, done = std::move(done)](const QDBusMessage& reply) mutable {
                        if (dbus::failed(reply) || reply.arguments().isEmpty()) {
                            done(std::nullopt);
                            return;
                        }
                        // a(ssssssb): id, name, native name, icon, label, language, configurable
                        const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
                        list.beginArray();
                        while (!list.atEnd()) {
                            QString id, name, native, icon, label, language;
                            bool configurable = false;
                            list.beginStructure();
                            list >> id >> name >> native >> icon >> label >> language >> configurable;
                            list.endStructure();
                            known_.insert(id, {name, language});
                        }
                        list.endArray();
                        engineOfGroup(std::move(done));
                    });
}

void Fcitx5Switch::engineOfGroup(std::function<void(std::optional<Engine>)> done)
{
    dbus::callAsync(bus_, controller(QStringLiteral("CurrentInputMethodGroup")), this,
                    [this, done = std::move(done)](const QDBusMessage& reply) mutable {
        if (dbus::failed(reply) || reply.arguments().isEmpty()) {
            done(std::nullopt);
            return;
        }
        const QString group = reply.arguments().at(0).toString();
        dbus::callAsync(bus_, controller(QStringLiteral("InputMethodGroupInfo"), {group}), this,
                        [this, done = std::move(done)](const QDBusMessage& info) mutable {
            if (dbus::failed(info) || info.arguments().size() < 2) {
                done(std::nullopt);
                return;
            }
            // (s default layout, a(ss) entries: input method id, layout)
            const QDBusArgument entries = info.arguments().at(1).value<QDBusArgument>();
            std::optional<Engine> found;
            entries.beginArray();
            while (!entries.atEnd()) {
                QString id, layout;
                entries.beginStructure();
                entries >> id >> layout;
                entries.endStructure();
                const auto it = known_.constFind(id);
                if (!found && it != known_.constEnd() && !id.startsWith(QLatin1String("keyboard-"))
                    && it->second.startsWith(QLatin1String("ja")))
                    found = Engine{id, it->first};
            }
            entries.endArray();
            done(found);
        });
    });
}

void Fcitx5Switch::switchTo(InputMode mode, const std::optional<Engine>& engine, Done done)
{
    if (mode == InputMode::eisu) {
        dbus::callAsync(bus_, controller(QStringLiteral("Deactivate")), this,
                        [this, done = std::move(done)](const QDBusMessage& reply) mutable {
                            if (dbus::failed(reply))
                                done(std::nullopt, dbus::problemOf(reply));
                            else
                                readState(std::move(done));
                        });
        return;
    }
    turnOn(engine ? engine->id : QString(), kTurnOnTries, std::move(done));
}

void Fcitx5Switch::turnOn(const QString& id, int triesLeft, Done done)
{
    // Without a Japanese engine in the group, Activate turns on whatever
    // the group has besides its layout.
    const QDBusMessage message =
        id.isEmpty() ? controller(QStringLiteral("Activate")) : controller(QStringLiteral("SetCurrentIM"), {id});
    dbus::callAsync(bus_, message, this, [this, id, triesLeft, done = std::move(done)](const QDBusMessage& reply) mutable {
        if (dbus::failed(reply)) {
            done(std::nullopt, dbus::problemOf(reply));
            return;
        }
        // The first switch of a session can leave fcitx5 off while it loads
        // the engine; the engine's own mode is set only once it is on, so
        // that no Hiragana key reaches the application instead.
        readState([this, id, triesLeft, done = std::move(done)](std::optional<InputMode> mode, QString problem) mutable {
            if (mode == InputMode::kana) {
                hiragana(id, std::move(done));
            } else if (triesLeft > 0 && problem.isEmpty()) {
                QTimer::singleShot(kTurnOnStepMs, this, [this, id, triesLeft, done = std::move(done)]() mutable {
                    turnOn(id, triesLeft - 1, std::move(done));
                });
            } else {
                done(mode, problem);
            }
        });
    });
}

void Fcitx5Switch::hiragana(const QString& id, Done done)
{
    if (id == QLatin1String("anthy")) {
        const QVariantMap general{{QStringLiteral("InputMode"), QStringLiteral("Hiragana")}};
        const QVariantMap config{{QStringLiteral("General"), general}};
        dbus::callAsync(bus_,
                        controller(QStringLiteral("SetConfig"),
                                   {QStringLiteral("fcitx://config/addon/anthy"), QVariant::fromValue(QDBusVariant(config))}),
                        this, [this, done = std::move(done)](const QDBusMessage& set) mutable {
                            if (dbus::failed(set))
                                done(std::nullopt, dbus::problemOf(set));
                            else
                                readState(std::move(done));
                        });
        return;
    }
    if (id == QLatin1String("mozc") && pressHiragana_)
        pressHiragana_();
    done(InputMode::kana, {});
}

void Fcitx5Switch::readState(Done done)
{
    dbus::callAsync(bus_, controller(QStringLiteral("State")), this, [done = std::move(done)](const QDBusMessage& reply) {
        if (dbus::failed(reply) || reply.arguments().isEmpty()) {
            done(std::nullopt, dbus::problemOf(reply));
            return;
        }
        done(reply.arguments().at(0).toInt() == kStateActive ? InputMode::kana : InputMode::eisu, {});
    });
}

} // namespace kestrune
