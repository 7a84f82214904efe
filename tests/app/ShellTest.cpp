// The desktop shell's own logic: one instance per user, and where the panel
// opens relative to the tray icon.

#include "app/PanelPlacement.h"
#include "app/SingleInstance.h"
#include "base/VirtualScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLocalSocket>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace kestrune;

namespace {

const QRect kScreen(0, 28, 1920, 1052); // below a 28-point top bar
const QSize kPanel(360, 490);

TEST(PanelPlacement, OpensUnderAnIconInATopBarCentredOnIt)
{
    const QRect icon(1000, 2, 24, 24);
    const QPoint at = panelPosition(icon, kPanel, kScreen);
    EXPECT_EQ(at.x() + kPanel.width() / 2, icon.center().x());
    EXPECT_GT(at.y(), 26);
    EXPECT_GE(at.y(), kScreen.top());
}

TEST(PanelPlacement, OpensAboveAnIconInABottomPanel)
{
    const QRect bottomScreen(0, 0, 1920, 1040);
    const QPoint at = panelPosition(QRect(1800, 1046, 24, 24), kPanel, bottomScreen);
    EXPECT_LE(at.y() + kPanel.height(), 1046);
    // Pushed left so that it stays on screen.
    EXPECT_EQ(at.x() + kPanel.width(), 1920);
}

TEST(PanelPlacement, StaysInsideTheScreenAtEveryEdge)
{
    for (const QRect& icon : {QRect(0, 0, 22, 22), QRect(1900, 0, 22, 22), QRect(-40, 500, 22, 22)}) {
        const QRect placed(panelPosition(icon, kPanel, kScreen), kPanel);
        EXPECT_TRUE(kScreen.contains(placed)) << icon.x() << "," << icon.y();
    }
}

TEST(PanelPlacement, WithoutAnIconTakesTheTopRightCorner)
{
    const QRect placed(panelPosition(QRect(), kPanel, kScreen), kPanel);
    EXPECT_TRUE(kScreen.contains(placed));
    EXPECT_GT(placed.right(), kScreen.right() - 20);
    EXPECT_LT(placed.top(), kScreen.top() + 20);
}

TEST(SingleInstance, ASecondLaunchAsksTheFirstToShowItselfAndStandsDown)
{
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    ASSERT_TRUE(first.claim());
    int requests = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });

    SingleInstance second(folder.path());
    bool notified = false;
    EXPECT_FALSE(second.claim(&notified));
    EXPECT_TRUE(notified);
    QElapsedTimer waited;
    waited.start();
    while (requests == 0 && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(requests, 1);
}

TEST(SingleInstance, ALockLeftByAFinishedProcessIsTakenOver)
{
    QTemporaryDir folder;
    // What a crashed instance leaves: its lock naming a process that is gone,
    // and a socket file that nobody serves.
    QFile lock(folder.path() + QStringLiteral("/kestrune.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(0x3ffffff) + "\nkestrune\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(folder.path() + QStringLiteral("/kestrune.socket"));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();

    SingleInstance next(folder.path());
    EXPECT_TRUE(next.claim());
}

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(SingleInstance, AFolderThatIsNotPrivateIsNotTrusted)
{
    QTemporaryDir tmp;
    const QString open = tmp.path() + QStringLiteral("/open");
    ASSERT_TRUE(QDir().mkdir(open));
    ::chmod(QFile::encodeName(open).constData(), 0755);
    SingleInstance shared(open);
    bool notified = true;
    EXPECT_FALSE(shared.claim(&notified));
    EXPECT_FALSE(notified);
    EXPECT_TRUE(shared.problem().contains(QStringLiteral("mode 0700"))) << shared.problem().toStdString();
    EXPECT_TRUE(QDir(open).isEmpty()) << "nothing is made in it";

    // A link to a private folder is not that folder.
    const QString link = tmp.path() + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(tmp.path(), link));
    SingleInstance linked(link);
    EXPECT_FALSE(linked.claim());
    EXPECT_FALSE(linked.problem().isEmpty());

    // A missing folder is made private, and used.
    const QString fresh = tmp.path() + QStringLiteral("/fresh");
    SingleInstance made(fresh);
    EXPECT_TRUE(made.claim());
    EXPECT_TRUE(made.problem().isEmpty());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(SingleInstance, ASocketThatCannotListenIsReportedAndTheInstanceStillRuns)
{
    QTemporaryDir folder;
    // A non-empty folder where the socket goes cannot be removed or bound.
    ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("/kestrune.socket/inside")));
    SingleInstance first(folder.path());
    EXPECT_TRUE(first.claim());
    EXPECT_TRUE(first.problem().contains(QStringLiteral("cannot reach this one"))) << first.problem().toStdString();
}

TEST(SingleInstance, TheListenerActsOnOneRequestPerConnectionAndDropsIdleOnes)
{
    QTemporaryDir folder;
    VirtualScheduler clock;
    SingleInstance first(folder.path(), nullptr, &clock);
    ASSERT_TRUE(first.claim());
    int requests = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });
    const QString socketPath = folder.path() + QStringLiteral("/kestrune.socket");

    QLocalSocket chatty;
    chatty.connectToServer(socketPath);
    ASSERT_TRUE(chatty.waitForConnected(1000));
    chatty.write("show\nshow\nshow\n");
    EXPECT_TRUE(waitFor([&] { return chatty.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(requests, 1);

    QLocalSocket silent;
    silent.connectToServer(socketPath);
    ASSERT_TRUE(silent.waitForConnected(1000));
    QLocalSocket halfLine;
    halfLine.connectToServer(socketPath);
    ASSERT_TRUE(halfLine.waitForConnected(1000));
    halfLine.write("sh");
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    clock.advanceBy(SingleInstance::kIdleTimeout - Millis(1));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(silent.state(), QLocalSocket::ConnectedState);
    clock.advanceBy(Millis(1));
    EXPECT_TRUE(waitFor([&] {
        return silent.state() == QLocalSocket::UnconnectedState && halfLine.state() == QLocalSocket::UnconnectedState;
    }));

    // A long line without an end is not a request either.
    QLocalSocket flood;
    flood.connectToServer(socketPath);
    ASSERT_TRUE(flood.waitForConnected(1000));
    flood.write(QByteArray(200, 'x') + "show\n");
    EXPECT_TRUE(waitFor([&] { return flood.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(requests, 1);
}

// kestrune --quit and --show as a client: the request reaches the running
// instance; nothing running, a lock left behind, or an untrusted folder are
// told apart, and the client never claims.
TEST(SingleInstance, SendDeliversQuitAndShowWithoutClaiming)
{
    QTemporaryDir folder;
    SingleInstance client(folder.path());
    EXPECT_EQ(client.send(SingleInstance::Request::quit), SingleInstance::Delivery::noInstance);
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "a client makes nothing";

    auto first = std::make_unique<SingleInstance>(folder.path());
    ASSERT_TRUE(first->claim());
    int shows = 0;
    int quits = 0;
    QObject::connect(first.get(), &SingleInstance::activationRequested, [&] { ++shows; });
    QObject::connect(first.get(), &SingleInstance::quitRequested, [&] { ++quits; });
    EXPECT_EQ(client.send(SingleInstance::Request::show), SingleInstance::Delivery::delivered);
    EXPECT_TRUE(waitFor([&] { return shows == 1; }));
    EXPECT_EQ(client.send(SingleInstance::Request::quit), SingleInstance::Delivery::delivered);
    EXPECT_TRUE(waitFor([&] { return quits == 1; }));
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(client.waitUntilGone(Millis(100))) << "the instance still holds its lock";
    first.reset();
    EXPECT_TRUE(client.waitUntilGone(Millis(100)));
    EXPECT_EQ(client.send(SingleInstance::Request::quit), SingleInstance::Delivery::noInstance);

    // A lock whose process has gone is nobody's.
    QFile lock(folder.path() + QStringLiteral("/kestrune.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(0x3ffffff) + "\nkestrune\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    EXPECT_EQ(client.send(SingleInstance::Request::quit), SingleInstance::Delivery::noInstance);

    // A folder others can enter is not spoken to.
    ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_EQ(client.send(SingleInstance::Request::quit), SingleInstance::Delivery::untrusted);
    EXPECT_TRUE(client.problem().contains(QStringLiteral("mode 0700"))) << client.problem().toStdString();
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
}

} // namespace

// The tray icon's menu: the same commands as the panel's ellipsis menu, and
// the HUD switch shows and writes the live value.
#include "app/ColorScheme.h"
#include "app/Translations.h"
#include "app/TrayIcon.h"
#include "style/Theme.h"

#include <QAction>
#include <QMenu>

namespace {

class HudStandIn : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isHUDEnabled MEMBER enabled NOTIFY isHUDEnabledChanged)
public:
    bool enabled = true;
signals:
    void isHUDEnabledChanged();
};

QAction* actionNamed(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

TEST(TrayIcon, MenuOffersTheHeaderCommandsInOrder)
{
    HudStandIn hud;
    TrayIcon tray(&hud);
    QStringList texts;
    for (QAction* action : tray.menu()->actions())
        texts << (action->isSeparator() ? QStringLiteral("—") : action->text());
    EXPECT_EQ(texts, (QStringList{"Open Settings", "Pause", "—", "Check for Updates...", "—", "Show HUD Notifications",
                                  "—", "Reset Keys", "—", "About Kestrune", "Quit Kestrune"}));
    EXPECT_FALSE(actionNamed(tray.menu(), "Pause")->isVisible()) << "nothing to pause without a status";

    int checks = 0, resets = 0, quits = 0;
    QObject::connect(&tray, &TrayIcon::checkForUpdatesRequested, [&] { ++checks; });
    QObject::connect(&tray, &TrayIcon::resetKeysRequested, [&] { ++resets; });
    QObject::connect(&tray, &TrayIcon::quitRequested, [&] { ++quits; });
    actionNamed(tray.menu(), "Check for Updates...")->trigger();
    actionNamed(tray.menu(), "Reset Keys")->trigger();
    actionNamed(tray.menu(), "Quit Kestrune")->trigger();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(quits, 1);
}

TEST(TrayIcon, HudItemFollowsAndInvertsTheSwitch)
{
    HudStandIn hud;
    TrayIcon tray(&hud);
    QAction* item = actionNamed(tray.menu(), "Show HUD Notifications");
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(hud.enabled);
    EXPECT_FALSE(item->isChecked());
    // A change made elsewhere (the panel) shows in the tray menu too.
    hud.enabled = true;
    emit hud.isHUDEnabledChanged();
    EXPECT_TRUE(item->isChecked());
}

TEST(TrayIcon, IconIsTheArtworkInThePanelsColour)
{
    for (const QColor& colour : {QColor(Qt::white), QColor(0x26, 0x28, 0x2e)}) {
        const QImage image = menuBarIcon(colour).pixmap(22, 22).toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() == 255) {
                    ++inked;
                    EXPECT_EQ(c.rgb(), colour.rgb());
                }
            }
        }
        // A keycap outline and an arrow: clearly drawn, far from filled.
        EXPECT_GT(inked, 60);
        EXPECT_LT(inked, 22 * 22 / 2);
    }
}

TEST(TrayIcon, IconIsLightOnDarkPanels)
{
    EXPECT_TRUE(TrayIcon::isPanelDark(true, QStringLiteral("KDE")));
    EXPECT_FALSE(TrayIcon::isPanelDark(false, QStringLiteral("KDE")));
    EXPECT_FALSE(TrayIcon::isPanelDark(false, QString()));
    // GNOME's top bar stays dark under the light scheme.
    EXPECT_TRUE(TrayIcon::isPanelDark(false, QStringLiteral("ubuntu:GNOME")));
}

TEST(ColorScheme, ReadsTheDesktopPreference)
{
    EXPECT_EQ(ColorScheme::darkFromPortalValue(QVariant(1u)), std::optional<bool>(true));
    EXPECT_EQ(ColorScheme::darkFromPortalValue(QVariant(2u)), std::optional<bool>(false));
    // No preference, or a value of another kind: the palette decides.
    EXPECT_EQ(ColorScheme::darkFromPortalValue(QVariant(0u)), std::nullopt);
    EXPECT_EQ(ColorScheme::darkFromPortalValue(QVariant(QStringLiteral("dark"))), std::nullopt);
    EXPECT_EQ(ColorScheme::darkFromPortalValue(QVariant::fromValue(QDBusVariant(QVariant(1u)))),
              std::optional<bool>(true));
}

} // namespace


// Texts: the user's language where a catalogue exists, the help texts behind
// their short keys in English, and a key without a translation as written.
#include <QGuiApplication>
#include <QXmlStreamReader>

namespace {

QString text(const char* context, const char* source)
{
    return QCoreApplication::translate(context, source);
}

TEST(Translations, JapaneseUsersReadJapanese)
{
    // This process's default face (DejaVu Sans) writes no Japanese: a
    // Japanese face is chosen for the interface, and given back after.
    const QFont before = QGuiApplication::font();
    {
        Translations translations;
        EXPECT_EQ(translations.install(QLocale(QStringLiteral("ja_JP"))), QStringLiteral("ja"));
        EXPECT_EQ(text("SettingsView", "Arrow Mode"), Translations::keepJapanesePhrases(QStringLiteral("矢印モード")));
        EXPECT_EQ(text("kestrune::TrayIcon", "Quit Kestrune"), Translations::keepJapanesePhrases(QStringLiteral("Kestrune を終了")));
        EXPECT_EQ(text("SettingsView", "A key nobody translated"), QStringLiteral("A key nobody translated"));
        EXPECT_TRUE(Translations::japaneseFamilies().contains(QGuiApplication::font().family()))
            << QGuiApplication::font().family().toStdString();
        // A face with only a regular weight shows headings bold, not regular.
        EXPECT_EQ(Theme().headingWeight(), QFontDatabase::styles(QGuiApplication::font().family()).size() > 1
                                               ? int(QFont::DemiBold) : int(QFont::Bold));
    }
    EXPECT_EQ(QGuiApplication::font(), before);
    EXPECT_EQ(Theme().headingWeight(), QFont::DemiBold);
    // Other languages keep the desktop's face.
    EXPECT_FALSE(Translations::interfaceFamilyFor(QStringLiteral("en"), before).has_value());
    EXPECT_FALSE(Translations::interfaceFamilyFor(QStringLiteral("de"), before).has_value());
}

// Japanese lines break between phrases, never inside a word: "|" marks
// where a line may break, everything else is held together.
TEST(Translations, JapanesePhrasesAreHeldTogether)
{
    const struct {
        const char* text;
        const char* breaks;
    } cases[] = {
        {"設定を保存できませんでした。", "設定を|保存できませんでした。"},
        {"キーボードを読めません。もう一度お試しください。", "キーボードを|読めません。もう|一度お|試しください。"},
        {"Kestrune を一時停止", "Kestrune を|一時停止"},
        {"Arrow Mode (Hyper + H/J/K/L)", "Arrow Mode (Hyper + H/J/K/L)"},
        {"%1 は %2 を開きます", "%1 は %2 を|開きます"},
    };
    for (const auto& c : cases) {
        QString held = Translations::keepJapanesePhrases(QString::fromUtf8(c.text));
        // Shown with each break between two Japanese letters as "|".
        QString shown;
        for (qsizetype i = 0; i < held.size(); ++i) {
            if (held[i] == QChar(0x2060))
                continue;
            shown += held[i];
            if (held[i].unicode() >= 0x3040 && i + 1 < held.size() && held[i + 1].unicode() >= 0x3040)
                shown += QLatin1Char('|');
        }
        EXPECT_EQ(shown, QString::fromUtf8(c.breaks)) << c.text;
        EXPECT_EQ(QString(held).remove(QChar(0x2060)), QString::fromUtf8(c.text)) << "letters lost or added";
    }
}

TEST(Translations, OtherLanguagesReadEnglishWithTheHelpTexts)
{
    Translations translations;
    EXPECT_EQ(translations.install(QLocale(QStringLiteral("de_DE"))), QStringLiteral("en"));
    EXPECT_EQ(text("SettingsView", "Arrow Mode"), QStringLiteral("Arrow Mode"));
    const QString help = text("SettingsView", "Vim Mode Help");
    EXPECT_NE(help, QStringLiteral("Vim Mode Help"));
    EXPECT_TRUE(help.contains(QStringLiteral("H/J/K/L")));
}

TEST(Translations, TheJapaneseCatalogueIsComplete)
{
    QFile file(QStringLiteral(KESTRUNE_TRANSLATIONS_DIR "/kestrune_ja.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source;
    int messages = 0;
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const bool unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            // A plural's forms are child elements.
            const QString translated = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            EXPECT_FALSE(unfinished || translated.isEmpty()) << "untranslated: " << source.toStdString();
            ++messages;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(messages, 40);
}

} // namespace

#include "ShellTest.moc"
