// Eisu and Kana against the real input methods: fcitx5 and IBus, each with
// Mozc and Anthy, under Xvfb, with a GTK text entry that uses the input
// method's GTK module; and IBus under a stand-in GNOME Shell, which selects
// input sources as the Shell does. From every starting state the test
// switches and types "a": Eisu must commit "a", Kana must start the
// preedit "あ", and the mode reported for the HUD must be the one reached.
//
// Mozc's server refuses to run as root, so a root run becomes nobody for the
// whole program, with a home of its own.

#include "base/QtScheduler.h"
#include "linux/SystemTestSupport.h"
#include "platform/linux/IBusSwitch.h"
#include "platform/linux/LinuxInputMethod.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <cstdlib>
#include <grp.h>
#include <optional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune::test {
// An input source as the Shell lists it: (type, id).
struct ShellSource {
    QString type;
    QString id;
};
QDBusArgument& operator<<(QDBusArgument& a, const ShellSource& s)
{
    a.beginStructure();
    a << s.type << s.id;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, ShellSource& s)
{
    a.beginStructure();
    a >> s.type >> s.id;
    a.endStructure();
    return a;
}

} // namespace kestrune::test
Q_DECLARE_METATYPE(kestrune::test::ShellSource)

namespace kestrune::test {
namespace {

constexpr uid_t kNobody = 65534;

QString g_home;

// Becomes nobody (when root) with a fresh home, before anything starts.
class OwnHome : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/kestrune-im-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        g_home = QString::fromLocal8Bit(pattern);
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(pattern, kNobody, kNobody), 0);
            ASSERT_EQ(::setgroups(0, nullptr), 0);
            ASSERT_EQ(::setresgid(kNobody, kNobody, kNobody), 0);
            ASSERT_EQ(::setresuid(kNobody, kNobody, kNobody), 0);
            // Changing user made the process undumpable, which would keep
            // LeakSanitizer from stopping its threads at exit.
            ::prctl(PR_SET_DUMPABLE, 1);
        }
        const QByteArray home = g_home.toLocal8Bit();
        ::setenv("HOME", home.constData(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").constData(), 1);
        ::setenv("XDG_CACHE_HOME", (home + "/.cache").constData(), 1);
        ::setenv("XDG_RUNTIME_DIR", (home + "/run").constData(), 1);
        QDir().mkpath(g_home + QStringLiteral("/run"));
        QFile::setPermissions(g_home + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // IBus's settings (its list of engines) come from a key file the
        // test writes, read by the daemon and by Kestrune alike.
        ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
        ::unsetenv("IBUS_ADDRESS");
        ::unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override { QDir(g_home).removeRecursively(); }
};
const auto* const g_ownHome = ::testing::AddGlobalTestEnvironment(new OwnHome);

bool haveProgram(const char* name) { return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty(); }

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(text);
}

QDBusMessage call(const QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(service, path, interface, method);
    m.setArguments(arguments);
    return bus.call(m, QDBus::Block, 5000);
}

// The Shell's side of Kestrune's extension: the input sources (a keyboard
// layout, then the Japanese engine) and their selection, which, as in the
// Shell, makes the source's engine IBus's global one.
class StandInShell : public QDBusVirtualObject {
public:
    StandInShell(QStringList ids, std::function<void(const QString&)> setEngine)
        : ids_(std::move(ids)), setEngine_(std::move(setEngine))
    {
        qDBusRegisterMetaType<ShellSource>();
        qDBusRegisterMetaType<QList<ShellSource>>();
    }
    QStringList selected;

    QString introspect(const QString&) const override
    {
        return QStringLiteral("<interface name=\"com.kestrune.Kestrune.ShellExtension\">"
                              "<method name=\"GetInputSources\"><arg type=\"a(ss)\" direction=\"out\"/>"
                              "<arg type=\"u\" direction=\"out\"/></method>"
                              "<method name=\"SelectInputSource\"><arg type=\"u\" direction=\"in\"/>"
                              "<arg type=\"b\" direction=\"out\"/></method></interface>");
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() == QLatin1String("GetInputSources")) {
            QList<ShellSource> sources;
            for (const QString& id : ids_)
                sources << (id.startsWith(QLatin1String("xkb:"))
                                ? ShellSource{QStringLiteral("xkb"), id.section(QLatin1Char(':'), 1, 1)}
                                : ShellSource{QStringLiteral("ibus"), id});
            connection.send(message.createReply({QVariant::fromValue(sources), 0u}));
            return true;
        }
        if (message.member() == QLatin1String("SelectInputSource")) {
            const uint index = message.arguments().value(0).toUInt();
            const bool ok = index < static_cast<uint>(ids_.size());
            if (ok) {
                selected << ids_.at(static_cast<int>(index));
                setEngine_(ids_.at(static_cast<int>(index)));
            }
            connection.send(message.createReply(QVariantList{ok}));
            return true;
        }
        return false;
    }

private:
    QStringList ids_;
    std::function<void(const QString&)> setEngine_;
};

struct Case {
    const char* framework; // "fcitx5", "ibus", "gnome"
    const char* engine;    // "mozc", "anthy"
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.framework << " with " << c.engine; }
std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    return std::string(info.param.framework) + "_" + info.param.engine;
}

class RealInputMethod : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        for (const char* program : {"Xvfb", "dbus-daemon", "xdotool", "fcitx5", "ibus-daemon"})
            ASSERT_TRUE(haveProgram(program)) << program << " is missing: run scripts/setup.sh";
        ensureApplication();
        fcitx_ = QLatin1String(GetParam().framework) == QLatin1String("fcitx5");
        gnome_ = QLatin1String(GetParam().framework) == QLatin1String("gnome");
        engine_ = QString::fromLatin1(GetParam().engine);
        ibusEngine_ = engine_ == QLatin1String("mozc") ? QStringLiteral("mozc-jp") : engine_;

        x_.emplace();
        ASSERT_TRUE(x_->isRunning());
        ::setenv("DISPLAY", x_->display().constData(), 1);
        bus_.emplace();
        ASSERT_TRUE(bus_->isRunning());
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_->address().toLocal8Bit().constData(), 1);
        QDBusConnection::connectToBus(bus_->address(), kBus);
        ASSERT_TRUE(session().isConnected());

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (fcitx_) {
            writeFile(g_home + QStringLiteral("/.config/fcitx5/profile"),
                      QStringLiteral("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=%1\n\n"
                                     "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                                     "[Groups/0/Items/1]\nName=%1\nLayout=\n\n[GroupOrder]\n0=Default\n")
                          .arg(engine_).toUtf8());
            env.insert(QStringLiteral("GTK_IM_MODULE"), QStringLiteral("fcitx"));
            framework_.setProcessEnvironment(env);
            framework_.setStandardOutputFile(QProcess::nullDevice());
            framework_.setStandardErrorFile(QProcess::nullDevice());
            framework_.start(QStringLiteral("fcitx5"), {QStringLiteral("--disable"), QStringLiteral("notificationitem")});
            ASSERT_TRUE(waitUntil([&] { return owned(QStringLiteral("org.fcitx.Fcitx5")); }, 20s));
        } else {
            writeFile(g_home + QStringLiteral("/.config/glib-2.0/settings/keyfile"),
                      QStringLiteral("[org/freedesktop/ibus/general]\npreload-engines=['xkb:us::eng', '%1']\n")
                          .arg(ibusEngine_).toUtf8());
            env.insert(QStringLiteral("GTK_IM_MODULE"), QStringLiteral("ibus"));
            framework_.setProcessEnvironment(env);
            framework_.setStandardOutputFile(QProcess::nullDevice());
            framework_.setStandardErrorFile(QProcess::nullDevice());
            framework_.start(QStringLiteral("ibus-daemon"), {QStringLiteral("--panel"), QStringLiteral("disable")});
            ASSERT_TRUE(waitUntil([&] { return connectIBus(); }, 20s)) << "ibus-daemon did not start";
            setIBusEngine(QStringLiteral("xkb:us::eng"));
            if (gnome_) {
                shell_ = std::make_unique<StandInShell>(QStringList{QStringLiteral("xkb:us::eng"), ibusEngine_},
                                                        [this](const QString& id) { setIBusEngine(id); });
                QDBusConnection::connectToBus(bus_->address(), kShellBus);
                QDBusConnection shellBus(kShellBus);
                ASSERT_TRUE(shellBus.registerVirtualObject(QStringLiteral("/com/kestrune/Kestrune/ShellExtension"),
                                                           shell_.get()));
                ASSERT_TRUE(shellBus.registerService(QStringLiteral("org.gnome.Shell")));
            }
        }
        entry_.setProcessEnvironment(env);
        entry_.setStandardErrorFile(QProcess::nullDevice());
        entry_.start(QStringLiteral(KESTRUNE_SOURCE_DIR "/tests/linux/im/gtk_entry.py"), {});
        ASSERT_TRUE(waitUntil([&] { return entry_.canReadLine() || entry_.state() == QProcess::NotRunning; }, 20s));
        ASSERT_EQ(entry_.readLine().trimmed(), QByteArray("READY"));
        // The entry and its input context are ready once typing reaches it.
        // With no window manager the entry focuses itself as it maps, which a
        // loaded machine can lose: each try gives it the focus first.
        ASSERT_TRUE(waitUntil(
            [&] {
                xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^kestrune-im-entry$"),
                         QStringLiteral("windowfocus")});
                return !typeA().isEmpty();
            },
            40s))
            << "the entry takes no input";

        method_ = std::make_unique<LinuxInputMethod>(
            scheduler_, session(), [] { xdotool({QStringLiteral("key"), QStringLiteral("Hiragana")}); },
            QProcessEnvironment::systemEnvironment());
        method_->setReachedHandler([this](InputMode mode) { reached_ = mode; });
        ASSERT_TRUE(waitUntil([&] { return method_->framework() != LinuxInputMethod::Framework::none
                                           && method_->summary().contains(QLatin1String("with")); },
                              20s))
            << method_->summary().toStdString();
    }

    void TearDown() override
    {
        method_.reset();
        if (entry_.state() != QProcess::NotRunning) {
            entry_.closeWriteChannel();
            stopProcess(entry_);
        }
        stopProcess(framework_);
        endStrays();
        QDBusConnection::disconnectFromBus(kShellBus);
        QDBusConnection::disconnectFromBus(kBus);
        QDBusConnection::disconnectFromBus(kIBusBus);
        bus_.reset();
        x_.reset();
    }

    static inline const QString kBus = QStringLiteral("im-test-session");
    static inline const QString kShellBus = QStringLiteral("im-test-shell");
    static inline const QString kIBusBus = QStringLiteral("im-test-ibus");
    QDBusConnection session() const { return QDBusConnection(kBus); }

    // What the frameworks started and left running (Mozc's server outlives
    // them): every process with this test's home.
    static void endStrays()
    {
        const QByteArray mark = "HOME=" + g_home.toLocal8Bit() + '\0';
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const pid_t id = pid.toInt(&number);
            if (!number || id == ::getpid())
                continue;
            QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
            if (environ.open(QIODevice::ReadOnly) && ('\0' + environ.readAll()).contains('\0' + mark))
                ::kill(id, SIGTERM);
        }
    }

    static void xdotool(const QStringList& arguments) { QProcess::execute(QStringLiteral("xdotool"), arguments); }

    bool owned(const QString& name) const
    {
        return session().interface()->isServiceRegistered(name).value();
    }

    bool connectIBus()
    {
        const QString address = IBusSwitch::findAddress(QProcessEnvironment::systemEnvironment());
        if (address.isEmpty())
            return false;
        QDBusConnection::disconnectFromBus(kIBusBus);
        return QDBusConnection::connectToBus(address, kIBusBus).isConnected();
    }
    void setIBusEngine(const QString& id)
    {
        call(QDBusConnection(kIBusBus), QStringLiteral("org.freedesktop.IBus"), QStringLiteral("/org/freedesktop/IBus"),
             QStringLiteral("org.freedesktop.IBus"), QStringLiteral("SetGlobalEngine"), {id});
    }
    // Activates a property of the Japanese engine, as its menu would.
    void ibusProperty(const QString& property)
    {
        const bool mozc = engine_ == QLatin1String("mozc");
        const QString service = mozc ? QStringLiteral("com.google.IBus.Mozc") : QStringLiteral("org.freedesktop.IBus.Anthy");
        const QString base = mozc ? QStringLiteral("/org/freedesktop/IBus/Engine")
                                  : QStringLiteral("/com/redhat/IBus/engines/Anthy/Engine");
        QStringList objects;
        QTimer poll; // the engine appears in its own time: look again until it has
        poll.start(50);
        waitUntil([&] {
            const QDBusMessage r = call(QDBusConnection(kIBusBus), service, base,
                                        QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
            objects = IBusSwitch::childObjects(r.arguments().value(0).toString(), base);
            return !objects.isEmpty();
        }, 5s);
        for (const QString& path : objects)
            call(QDBusConnection(kIBusBus), service, path, QStringLiteral("org.freedesktop.IBus.Engine"),
                 QStringLiteral("PropertyActivate"), {property, 1u});
    }
    void fcitx(const QString& method, const QVariantList& arguments = {})
    {
        call(session(), QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
             QStringLiteral("org.fcitx.Fcitx.Controller1"), method, arguments);
    }

    // The starting states, each reached the way a user would reach it.
    void enter(const QString& state)
    {
        const bool mozc = engine_ == QLatin1String("mozc");
        if (fcitx_) {
            if (state == QLatin1String("off")) {
                fcitx(QStringLiteral("Deactivate"));
            } else {
                fcitx(QStringLiteral("Activate"));
                if (state == QLatin1String("katakana") && mozc)
                    xdotool({QStringLiteral("key"), QStringLiteral("Katakana")});
                else if (state == QLatin1String("latin") && mozc)
                    xdotool({QStringLiteral("key"), QStringLiteral("Eisu_toggle")});
                else // Anthy's own menu sets its "Input mode" setting
                    fcitx(QStringLiteral("SetConfig"),
                          {QStringLiteral("fcitx://config/addon/anthy"),
                           QVariant::fromValue(QDBusVariant(QVariantMap{
                               {QStringLiteral("General"),
                                QVariantMap{{QStringLiteral("InputMode"),
                                             state == QLatin1String("katakana") ? QStringLiteral("Katakana")
                                                                               : QStringLiteral("Latin")}}}}))});
            }
            return;
        }
        if (state == QLatin1String("off")) {
            setIBusEngine(QStringLiteral("xkb:us::eng"));
            return;
        }
        setIBusEngine(ibusEngine_);
        ibusProperty(state == QLatin1String("katakana") ? QStringLiteral("InputMode.Katakana")
                                                        : QStringLiteral("InputMode.Latin"));
    }

    // The entry's next report, as "text|preedit"; empty when none is waiting.
    QString nextReport()
    {
        if (!entry_.canReadLine())
            return {};
        const QStringList parts = QString::fromUtf8(entry_.readLine()).trimmed().split(QLatin1Char('\t'));
        auto field = [&](int i, int skip) {
            return QJsonDocument::fromJson("[" + parts.value(i).mid(skip).toUtf8() + "]")[0].toString();
        };
        return field(0, 5) + QLatin1Char('|') + field(1, 8);
    }

    // Types "a" into the entry; what it shows as "text|preedit", then empty
    // again. Empty when nothing arrived.
    QString typeA()
    {
        entry_.readAll();
        xdotool({QStringLiteral("type"), QStringLiteral("a")});
        QString shown;
        waitUntil([&] {
            for (QString r = nextReport(); !r.isEmpty(); r = nextReport())
                if (r != QLatin1String("|"))
                    shown = r;
            return !shown.isEmpty();
        }, 3s);
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        entry_.write("clear\n");
        waitUntil([&] {
            bool empty = false;
            for (QString r = nextReport(); !r.isEmpty(); r = nextReport())
                empty = r == QLatin1String("|");
            return empty;
        }, 3s);
        return shown;
    }

    // Switches and reports what typing gives and what the HUD was told.
    QString press(InputMode mode)
    {
        reached_.reset();
        EXPECT_TRUE(method_->request(mode));
        const bool told = waitUntil([&] { return reached_.has_value(); }, 5s);
        const QString hud = !told ? QStringLiteral("none") : *reached_ == InputMode::kana ? QStringLiteral("あ") : QStringLiteral("A");
        return typeA() + QStringLiteral(" hud ") + hud;
    }

    bool fcitx_ = false;
    bool gnome_ = false;
    QString engine_;
    QString ibusEngine_;
    std::optional<XvfbServer> x_;
    std::optional<PrivateBus> bus_;
    QProcess framework_;
    QProcess entry_;
    std::unique_ptr<StandInShell> shell_;
    QtScheduler scheduler_;
    std::unique_ptr<LinuxInputMethod> method_;
    std::optional<InputMode> reached_;
};

TEST_P(RealInputMethod, EisuAndKanaAreAbsoluteFromEveryState)
{
    const QString eisu = QStringLiteral("a| hud A");
    const QString kana = QStringLiteral("|あ hud あ");
    for (const QString& state : {QStringLiteral("off"), QStringLiteral("katakana"), QStringLiteral("latin")}) {
        for (const QString& sequence : {QStringLiteral("KKEEK"), QStringLiteral("EEKKE")}) {
            SCOPED_TRACE((state + QStringLiteral(" then ") + sequence).toStdString());
            enter(state);
            for (qsizetype i = 0; i < sequence.size(); ++i) {
                const bool k = sequence.at(i) == QLatin1Char('K');
                EXPECT_EQ(press(k ? InputMode::kana : InputMode::eisu).toStdString(), (k ? kana : eisu).toStdString()) << "press " << i + 1;
            }
        }
    }
    // Under GNOME, Kana went through the Shell's input sources, never behind its back.
    if (gnome_) {
        EXPECT_FALSE(shell_->selected.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(, RealInputMethod,
                         ::testing::Values(Case{"fcitx5", "mozc"}, Case{"fcitx5", "anthy"}, Case{"ibus", "mozc"},
                                           Case{"ibus", "anthy"}, Case{"gnome", "mozc"}),
                         caseName);

} // namespace
} // namespace kestrune::test
