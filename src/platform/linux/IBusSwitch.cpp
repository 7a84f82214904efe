#include "platform/linux/IBusSwitch.h"

#include "platform/linux/DBusCall.h"
#include "platform/linux/GioHeaders.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QXmlStreamReader>

#include <atomic>
#include <csignal>
#include <cerrno>

namespace kestrune {

namespace {
const QString kIBus = QStringLiteral("org.freedesktop.IBus");
const QString kIBusPath = QStringLiteral("/org/freedesktop/IBus");
const QString kShell = QStringLiteral("org.gnome.Shell");
const QString kExtensionPath = QStringLiteral("/com/kestrune/Kestrune/ShellExtension");
const QString kExtensionInterface = QStringLiteral("com.kestrune.Kestrune.ShellExtension");
constexpr int kEngineWaitStepMs = 50;
constexpr int kEngineWaitTries = 20; // a second for the new engine to appear
constexpr uint kPropChecked = 1;     // IBUS_PROP_STATE_CHECKED

// Where each engine's process keeps its engine objects, and the properties
// of its two modes.
struct EngineTraits {
    const char* prefix;
    const char* busName;
    const char* basePath;
    const char* direct;
    const char* hiragana;
};
constexpr EngineTraits kEngines[] = {
    {"mozc", "com.google.IBus.Mozc", "/org/freedesktop/IBus/Engine", "InputMode.Direct", "InputMode.Hiragana"},
    {"anthy", "org.freedesktop.IBus.Anthy", "/com/redhat/IBus/engines/Anthy/Engine", "InputMode.Latin",
     "InputMode.Hiragana"},
};
const EngineTraits* traitsOf(const QString& engine)
{
    for (const EngineTraits& t : kEngines)
        if (engine.startsWith(QLatin1String(t.prefix)))
            return &t;
    return nullptr;
}


struct EngineDesc {
    QString name;
    QString longName;
    QString language;
};
// An IBusEngineDesc, (sa{sv}ssss…): type name, attachments, name, long
// name, description, language, and more that is not needed here. Variants
// around it are unwrapped.
std::optional<EngineDesc> engineDesc(QVariant value)
{
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument arg = value.value<QDBusArgument>();
    if (arg.currentType() != QDBusArgument::StructureType)
        return std::nullopt;
    EngineDesc d;
    QString typeName, description;
    arg.beginStructure();
    arg >> typeName;
    arg.beginMap();
    while (!arg.atEnd()) {
        QString key;
        QDBusVariant v;
        arg.beginMapEntry();
        arg >> key >> v;
        arg.endMapEntry();
    }
    arg.endMap();
    arg >> d.name >> d.longName >> description >> d.language;
    arg.endStructure();
    if (typeName != QLatin1String("IBusEngineDesc"))
        return std::nullopt;
    return d;
}

bool isJapaneseEngine(const EngineDesc& d)
{
    return d.language.startsWith(QLatin1String("ja")) && !d.name.startsWith(QLatin1String("xkb:"));
}

// IBus's own list of engines to offer, where its settings schema is
// installed; empty otherwise.
QStringList preloadEngines()
{
    QStringList names;
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source)
        return names;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, "org.freedesktop.ibus.general", TRUE);
    if (!schema)
        return names;
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    gchar** list = g_settings_get_strv(settings, "preload-engines");
    for (gchar** p = list; p && *p; ++p)
        names << QString::fromUtf8(*p);
    g_strfreev(list);
    g_object_unref(settings);
    g_settings_schema_unref(schema);
    return names;
}

bool daemonAlive(const QString& file, QString* address)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString found;
    long pid = 0;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1String("IBUS_ADDRESS=")))
            found = line.mid(13);
        else if (line.startsWith(QLatin1String("IBUS_DAEMON_PID=")))
            pid = line.mid(16).toLong();
    }
    if (found.isEmpty() || pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM))
        return false;
    *address = found;
    return true;
}

QString machineId()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile f(QString::fromLatin1(path));
        if (f.open(QIODevice::ReadOnly))
            return QString::fromLatin1(f.readAll()).trimmed();
    }
    return {};
}
} // namespace

QStringList IBusSwitch::childObjects(const QString& introspection, const QString& basePath)
{
    QStringList objects;
    QXmlStreamReader xml(introspection);
    for (int depth = 0; !xml.atEnd();) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("node") && depth == 1)
                objects << basePath + QLatin1Char('/') + xml.attributes().value(QLatin1String("name")).toString();
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return objects;
}

IBusSwitch::IBusSwitch(QProcessEnvironment environment, QObject* parent)
    : QObject(parent), environment_(std::move(environment))
{
    static std::atomic<int> serial{0};
    connectionName_ = QStringLiteral("kestrune-ibus-%1").arg(serial.fetch_add(1));
}

IBusSwitch::~IBusSwitch() { QDBusConnection::disconnectFromBus(connectionName_); }

QString IBusSwitch::findAddress(const QProcessEnvironment& env)
{
    const QString given = env.value(QStringLiteral("IBUS_ADDRESS"));
    if (!given.isEmpty())
        return given;
    QString configHome = env.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (configHome.isEmpty())
        configHome = env.value(QStringLiteral("HOME")) + QStringLiteral("/.config");
    const QDir folder(configHome + QStringLiteral("/ibus/bus"));
    const QString id = machineId();
    // The daemon names its file after the machine and the display it serves.
    QString host = QStringLiteral("unix");
    QString display = env.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (display.isEmpty()) {
        const QString x = env.value(QStringLiteral("DISPLAY"));
        const qsizetype colon = x.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            if (colon > 0)
                host = x.left(colon);
            display = x.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
        }
    }
    QString address;
    if (!id.isEmpty() && !display.isEmpty()
        && daemonAlive(folder.filePath(QStringLiteral("%1-%2-%3").arg(id, host, display)), &address))
        return address;
    // Otherwise the newest file of a daemon still running.
    const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::Time);
    for (const QFileInfo& file : files)
        if (daemonAlive(file.filePath(), &address))
            return address;
    return {};
}

bool IBusSwitch::connectToDaemon()
{
    const QString address = findAddress(environment_);
    if (address.isEmpty()) {
        QDBusConnection::disconnectFromBus(connectionName_);
        address_.clear();
        return false;
    }
    if (address != address_ || !QDBusConnection(connectionName_).isConnected()) {
        QDBusConnection::disconnectFromBus(connectionName_);
        address_ = address;
        QDBusConnection::connectToBus(address_, connectionName_);
    }
    return QDBusConnection(connectionName_).isConnected();
}

bool IBusSwitch::isConnected() const { return !address_.isEmpty() && QDBusConnection(connectionName_).isConnected(); }

void IBusSwitch::setShell(std::optional<QDBusConnection> sessionBus) { shell_ = std::move(sessionBus); }

void IBusSwitch::globalEngine(std::function<void(QString)> done)
{
    QDBusMessage m = QDBusMessage::createMethodCall(kIBus, kIBusPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
    m.setArguments({kIBus, QStringLiteral("GlobalEngine")});
    dbus::callAsync(QDBusConnection(connectionName_), m, this, [done = std::move(done)](const QDBusMessage& reply) {
        // No global engine yet is an error reply: nothing is switched on.
        std::optional<EngineDesc> d;
        if (!dbus::failed(reply) && !reply.arguments().isEmpty())
            d = engineDesc(reply.arguments().at(0));
        done(d ? d->name : QString());
    });
}

void IBusSwitch::japaneseAmong(const QStringList& names, std::function<void(std::optional<Engine>)> done)
{
    QDBusMessage m =
        QDBusMessage::createMethodCall(kIBus, kIBusPath, kIBus, QStringLiteral("GetEnginesByNames"));
    m.setArguments({names});
    dbus::callAsync(QDBusConnection(connectionName_), m, this, [done = std::move(done)](const QDBusMessage& reply) {
        if (dbus::failed(reply) || reply.arguments().isEmpty()) {
            done(std::nullopt);
            return;
        }
        const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
        std::optional<Engine> found;
        list.beginArray();
        while (!list.atEnd()) {
            QDBusVariant v;
            list >> v;
            const std::optional<EngineDesc> d = engineDesc(v.variant());
            if (!found && d && isJapaneseEngine(*d))
                found = Engine{d->name, d->longName};
        }
        list.endArray();
        done(found);
    });
}

void IBusSwitch::findEngine(std::function<void(std::optional<Engine>, bool)> done)
{
    const QStringList fallback{QStringLiteral("mozc-jp"), QStringLiteral("anthy")};
    if (!shell_) {
        QStringList names = preloadEngines();
        japaneseAmong(names, [this, fallback, done = std::move(done)](std::optional<Engine> engine) mutable {
            if (engine) {
                done(engine, false);
                return;
            }
            japaneseAmong(fallback, [done = std::move(done)](std::optional<Engine> e) { done(e, false); });
        });
        return;
    }
    const QDBusMessage m =
        QDBusMessage::createMethodCall(kShell, kExtensionPath, kExtensionInterface, QStringLiteral("GetInputSources"));
    dbus::callAsync(*shell_, m, this, [this, done = std::move(done)](const QDBusMessage& reply) mutable {
        if (dbus::failed(reply) || reply.arguments().isEmpty()) {
            done(std::nullopt, false);
            return;
        }
        // a(ss): the Shell's input sources in its order, as (type, id).
        QStringList ibusIds;
        QList<int> indexes;
        const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
        list.beginArray();
        for (int index = 0; !list.atEnd(); ++index) {
            QString type, id;
            list.beginStructure();
            list >> type >> id;
            list.endStructure();
            if (type == QLatin1String("ibus")) {
                ibusIds << id;
                indexes << index;
            }
        }
        list.endArray();
        japaneseAmong(ibusIds, [ibusIds, indexes, done = std::move(done)](std::optional<Engine> engine) {
            if (engine)
                engine->shellSource = indexes.value(static_cast<int>(ibusIds.indexOf(engine->id)), -1);
            done(engine, true);
        });
    });
}

void IBusSwitch::switchTo(InputMode mode, const std::optional<Engine>& engine, Done done)
{
    if (!isConnected()) {
        done(std::nullopt, tr("IBus is not running."));
        return;
    }
    globalEngine([this, mode, engine, done = std::move(done)](const QString& current) mutable {
        const bool japaneseInFront = engine ? current == engine->id : traitsOf(current) != nullptr;
        if (mode == InputMode::eisu) {
            if (japaneseInFront)
                activateProperty(current, mode, kEngineWaitTries, std::move(done));
            else
                done(current.isEmpty() || current.startsWith(QLatin1String("xkb:")) ? std::optional(InputMode::eisu)
                                                                                      : std::nullopt,
                     {});
            return;
        }
        if (japaneseInFront) {
            activateProperty(current, mode, kEngineWaitTries, std::move(done));
            return;
        }
        if (!engine) {
            done(std::nullopt, tr("IBus has no Japanese input method set up."));
            return;
        }
        const QString id = engine->id;
        auto then = [this, id, done = std::move(done)](const QDBusMessage& reply) mutable {
            if (dbus::failed(reply))
                done(std::nullopt, dbus::problemOf(reply));
            else
                afterSwitch(id, kEngineWaitTries, std::move(done));
        };
        if (shell_) {
            if (engine->shellSource < 0) {
                done(std::nullopt, tr("GNOME has no Japanese input source."));
                return;
            }
            QDBusMessage m = QDBusMessage::createMethodCall(kShell, kExtensionPath, kExtensionInterface,
                                                            QStringLiteral("SelectInputSource"));
            m.setArguments({static_cast<uint>(engine->shellSource)});
            dbus::callAsync(*shell_, m, this, std::move(then));
            return;
        }
        QDBusMessage m = QDBusMessage::createMethodCall(kIBus, kIBusPath, kIBus, QStringLiteral("SetGlobalEngine"));
        m.setArguments({id});
        dbus::callAsync(QDBusConnection(connectionName_), m, this, std::move(then));
    });
}

void IBusSwitch::afterSwitch(const QString& engine, int triesLeft, Done done)
{
    // The Shell switches the engine in its own time; wait until it has.
    globalEngine([this, engine, triesLeft, done = std::move(done)](const QString& current) mutable {
        if (current == engine) {
            activateProperty(engine, InputMode::kana, triesLeft, std::move(done));
        } else if (triesLeft > 0) {
            QTimer::singleShot(kEngineWaitStepMs, this, [this, engine, triesLeft, done = std::move(done)]() mutable {
                afterSwitch(engine, triesLeft - 1, std::move(done));
            });
        } else {
            done(std::nullopt, tr("IBus did not switch to %1.").arg(engine));
        }
    });
}

void IBusSwitch::activateProperty(const QString& engine, InputMode mode, int triesLeft, Done done)
{
    const EngineTraits* traits = traitsOf(engine);
    if (!traits) {
        // An engine whose modes are not known here: being in front is all.
        done(InputMode::kana, {});
        return;
    }
    const QString busName = QString::fromLatin1(traits->busName);
    const QString basePath = QString::fromLatin1(traits->basePath);
    const QDBusMessage introspect = QDBusMessage::createMethodCall(
        busName, basePath, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    dbus::callAsync(QDBusConnection(connectionName_), introspect, this,
                    [this, engine, mode, triesLeft, traits, busName, basePath,
                     done = std::move(done)](const QDBusMessage& reply) mutable {
        const QStringList objects = dbus::failed(reply) || reply.arguments().isEmpty()
                                        ? QStringList()
                                        : childObjects(reply.arguments().at(0).toString(), basePath);
        if (objects.isEmpty()) {
            // A new engine is made when the focused text field takes it up.
            if (triesLeft > 0) {
                QTimer::singleShot(kEngineWaitStepMs, this, [=, this, done = std::move(done)]() mutable {
                    activateProperty(engine, mode, triesLeft - 1, std::move(done));
                });
            } else {
                done(std::nullopt, tr("%1 has no input field to switch.").arg(engine));
            }
            return;
        }
        const QString property = QString::fromLatin1(mode == InputMode::kana ? traits->hiragana : traits->direct);
        // The engine may have several objects; the switch holds if any took it.
        struct Tally {
            int pending = 0;
            bool anyTook = false;
            QString problem;
        };
        auto tally = std::make_shared<Tally>();
        tally->pending = static_cast<int>(objects.size());
        for (const QString& path : objects) {
            QDBusMessage m = QDBusMessage::createMethodCall(busName, path, QStringLiteral("org.freedesktop.IBus.Engine"),
                                                            QStringLiteral("PropertyActivate"));
            m.setArguments({property, kPropChecked});
            dbus::callAsync(QDBusConnection(connectionName_), m, this, [mode, tally, done](const QDBusMessage& r) {
                if (dbus::failed(r))
                    tally->problem = dbus::problemOf(r);
                else
                    tally->anyTook = true;
                if (--tally->pending == 0)
                    done(tally->anyTook ? std::optional(mode) : std::nullopt, tally->anyTook ? QString() : tally->problem);
            });
        }
    });
}

} // namespace kestrune
