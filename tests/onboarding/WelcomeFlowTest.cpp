// The welcome guide end to end on the virtual clock: the permission block
// swapping when trust is published, Return as Next and Get Started,
// "hasSeenOnboarding" written before the window closes, the pointer 0.3 s
// later and gone when the panel opens. Screenshots of every page.

#include "OnboardingFixture.h"

#include "app/Translations.h"
#include "base/KeyNames.h"
#include "onboarding/WelcomeWindowController.h"
#include "style/Symbols.h"
#include "style/Theme.h"
#include "support/ViewHarness.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QQuickView>
#include <cstdlib>
#include <linux/input-event-codes.h>

using namespace kestrune;
using namespace kestrune::test;
using namespace std::chrono_literals;

namespace {
bool isShownIn(const WindowDriver& d, const char* name)
{
    return d.findVisible(QString::fromLatin1(name)) != nullptr;
}
QColor dotColor(const WindowDriver& d, int index)
{
    return d.find(QStringLiteral("stepDot.%1").arg(index))->property("color").value<QColor>();
}
void pressReturn(WindowDriver& d)
{
    d.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
}
} // namespace

TEST_F(OnboardingTest, WelcomeGuideFromFirstPageToThePointer)
{
    build();
    windows_->showWelcomeWindow();
    QQuickWindow* window = welcomeWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title(), QStringLiteral("Welcome to Kestrune"));
    EXPECT_EQ(window->size(), QSize(500, 520));
    EXPECT_FALSE(window->flags() & Qt::WindowStaysOnTopHint) << "the terminal it sends the user to must come over it";
    d_.setWindow(window);
    advance(0ms);
    EXPECT_TRUE(permissions_.isMonitoring());

    // Page 0: the first dot lit, the condition that fails and its command.
    EXPECT_EQ(dotColor(d_, 0), QColor(0x00, 0x7a, 0xff));
    EXPECT_NE(dotColor(d_, 1), dotColor(d_, 0));
    EXPECT_TRUE(isShownIn(d_, "permissionRequest"));
    EXPECT_FALSE(isShownIn(d_, "permissionGranted"));
    EXPECT_TRUE(d_.find(QStringLiteral("accessProblem"))->property("text").toString().contains(QStringLiteral("uinput")));
    EXPECT_FALSE(isShownIn(d_, "grantAccessButton")) << "no pkexec here: the command instead";
    const QString command = d_.find(QStringLiteral("accessCommand"))->property("command").toString();
    // Neither sudo nor pkexec here: a step a line, for root to run.
    EXPECT_TRUE(command.startsWith(QStringLiteral("modprobe uinput &&\ninstall -m 644 "))) << command.toStdString();
    EXPECT_EQ(d_.find(QStringLiteral("commandCaption"))->property("text").toString(),
              QStringLiteral("Run this in a terminal as root:"));
    EXPECT_FALSE(d_.find(QStringLiteral("accessCommand"))->property("text").toString().contains(u'-'))
        << "a line may break after the hyphen of \"--reload-rules\"";
    d_.click(d_.find(QStringLiteral("copyCommandButton")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), command);
    EXPECT_EQ(d_.find(QStringLiteral("copyCommandButton"))->property("text").toString(), QStringLiteral("Copied"));

    // Trust arrives: the next re-check, 10 s on, swaps the block.
    sim_.trust().setTrusted(true);
    advance(9999ms);
    EXPECT_TRUE(isShownIn(d_, "permissionRequest"));
    advance(1ms);
    EXPECT_TRUE(isShownIn(d_, "permissionGranted"));
    EXPECT_FALSE(isShownIn(d_, "permissionRequest"));

    // Return is Next, twice, then Get Started.
    pressReturn(d_);
    EXPECT_EQ(d_.window()->contentItem()->childItems().first()->property("curretStep").toInt(), 1);
    EXPECT_EQ(dotColor(d_, 1), QColor(0x00, 0x7a, 0xff));
    QQuickItem* caps = d_.find(QStringLiteral("capsLockKey"));
    EXPECT_EQ(caps->width(), 64);
    EXPECT_EQ(caps->findChild<QQuickItem*>(QStringLiteral("keyCap"))->property("radius").toDouble(), 12);
    EXPECT_TRUE(isShownIn(d_, "nextButton"));
    pressReturn(d_);
    ASSERT_TRUE(isShownIn(d_, "getStartedButton"));
    EXPECT_EQ(d_.find(QStringLiteral("getStartedButton"))->property("text").toString(), QStringLiteral("Get Started"));

    std::optional<bool> seenWhenClosing;
    QObject::connect(window, &QWindow::visibleChanged, window, [&](bool visible) {
        if (!visible)
            seenWhenClosing = sim_.defaults().boolValue(WelcomeWindowController::kHasSeenOnboardingKey).value_or(false);
    });
    pressReturn(d_);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(seenWhenClosing, std::optional<bool>(true));
    EXPECT_FALSE(permissions_.isMonitoring());

    // The pointer 0.3 s later, not before.
    advance(299ms);
    EXPECT_FALSE(pointer().isShown());
    advance(1ms);
    ASSERT_TRUE(pointer().isShown());
    for (QQuickView* w : {pointer().overlayWindow(), pointer().arrowWindow()}) {
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->flags() & Qt::WindowTransparentForInput) << "the pointer never takes a click";
        EXPECT_TRUE(w->flags() & Qt::WindowDoesNotAcceptFocus);
    }

    // The panel opens: the pointer fades and is gone 0.3 s later.
    panel_->showAt(QRect());
    advance(299ms);
    EXPECT_TRUE(pointer().overlayWindow());
    advance(1ms);
    EXPECT_FALSE(pointer().isShown());
    EXPECT_FALSE(pointer().overlayWindow());
}

TEST_F(OnboardingTest, ClosingTheGuideRecordsNothingAndPointsNowhere)
{
    build();
    windows_->showWelcomeWindow();
    QQuickWindow* window = welcomeWindow();
    ASSERT_TRUE(window);
    d_.setWindow(window);
    d_.click(d_.find(QStringLiteral("nextButton")));
    window->close();
    advance(1000ms);
    EXPECT_FALSE(sim_.defaults().value(WelcomeWindowController::kHasSeenOnboardingKey).has_value());
    EXPECT_FALSE(pointer().isShown());
    EXPECT_FALSE(permissions_.isMonitoring());

    // Shown again (the next launch), it starts over on the first page, and
    // the closed guide going away later leaves the new one's watch on.
    windows_->showWelcomeWindow();
    d_.setWindow(welcomeWindow());
    ASSERT_TRUE(d_.window());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(permissions_.isMonitoring());
    EXPECT_TRUE(isShownIn(d_, "nextButton"));
    EXPECT_TRUE(d_.findVisible(QStringLiteral("page.0")));
    EXPECT_FALSE(d_.findVisible(QStringLiteral("page.1")));
}

// The last page tells the truth: still without access it says what is
// missing and leads back to the first page; its tip is what a tap does with
// the settings as they are (by default, nothing).
TEST_F(OnboardingTest, TheLastPageSaysWhatIsMissingAndWhatATapDoes)
{
    build();
    windows_->showWelcomeWindow();
    d_.setWindow(welcomeWindow());
    ASSERT_TRUE(d_.window());
    advance(0ms);
    const auto text = [this](const char* name) { return d_.find(QString::fromLatin1(name))->property("text").toString(); };
    const auto tip = [this] { return textsUnder(d_.find(QStringLiteral("page.2"))).filter(QStringLiteral("Tip:")).value(0); };
    pressReturn(d_);
    pressReturn(d_);
    EXPECT_EQ(text("finishTitle"), QStringLiteral("One Step Left"));
    EXPECT_TRUE(text("finishText").contains(QStringLiteral("cannot read your keyboards")));
    EXPECT_EQ(tip(), QStringLiteral("Tip: Choose in the settings what one tap of Caps Lock does"));
    d_.save(QStringLiteral("welcome-2-untrusted-light-en"));
    d_.click(d_.find(QStringLiteral("backToAccessButton")));
    EXPECT_TRUE(d_.findVisible(QStringLiteral("permissionRequest")));

    sim_.trust().setTrusted(true);
    advance(10s);
    remapper_.setIsSinglePressEnabled(true);
    remapper_.setSinglePressConfig(config::SinglePressConfig::esc);
    pressReturn(d_);
    pressReturn(d_);
    EXPECT_EQ(text("finishTitle"), QStringLiteral("You're All Set!"));
    EXPECT_FALSE(d_.findVisible(QStringLiteral("backToAccessButton")));
    EXPECT_EQ(tip(), QStringLiteral("Tip: Tap Caps Lock once for Escape (Customizable)"));
    remapper_.setSinglePressConfig(config::SinglePressConfig::fnDelete);
    d_.settle();
    EXPECT_EQ(tip(), QStringLiteral("Tip: Tap Caps Lock once for Delete (Customizable)"));
}

// Where polkit can grant access, the page offers one button instead of the
// command; the panel's "Fix" shows the same diagnosis in a window of its own.
TEST_F(OnboardingTest, FixShowsTheDiagnosisWhereItCannotGrantInOneStep)
{
    build();
    windows_->grantInputAccess();
    QQuickWindow* fix = nullptr;
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->isVisible() && window->title() == QStringLiteral("Input Access"))
            fix = qobject_cast<QQuickWindow*>(window);
    ASSERT_TRUE(fix);
    d_.setWindow(fix);
    EXPECT_TRUE(isShownIn(d_, "accessCommand"));
    d_.save(QStringLiteral("input-access-light-en"));
    d_.click(d_.find(QStringLiteral("doneButton")));
    EXPECT_FALSE(fix->isVisible());
}

// With pkexec and the helper installed, one button grants access; the block
// swaps as soon as the helper has run.
TEST_F(OnboardingTest, GrantAccessInOneStepFromTheFirstPage)
{
    canGrant_ = true;
    build();
    windows_->showWelcomeWindow();
    d_.setWindow(welcomeWindow());
    ASSERT_TRUE(d_.window());
    advance(0ms);
    ASSERT_TRUE(isShownIn(d_, "grantAccessButton"));
    EXPECT_FALSE(isShownIn(d_, "accessCommand"));
    d_.save(QStringLiteral("welcome-0-grant-light-en"));

    sim_.trust().setTrusted(true); // what the helper's rule brings about
    d_.click(d_.find(QStringLiteral("grantAccessButton")));
    ASSERT_TRUE(waitUntil([&] {
        advance(0ms);
        return isShownIn(d_, "permissionGranted");
    })) << "the block did not swap once access was granted";
    EXPECT_TRUE(QFile::exists(dir_.path() + QStringLiteral("/no-uinput"))) << "the helper ran";
}

// The application icon must read against the window in either appearance:
// a good share of its pixels differ clearly from the background around it.
static void expectIconStandsOut(WindowDriver& d, const QString& what)
{
    QQuickItem* icon = d.find(QStringLiteral("appIcon"));
    ASSERT_TRUE(icon) << qPrintable(what);
    const QImage image = d.grab();
    const qreal ratio = image.width() / d.window()->width();
    const QRectF box = icon->mapRectToScene(QRectF(0, 0, icon->width(), icon->height()));
    const QRect area(QPointF(box.topLeft() * ratio).toPoint(), QPointF(box.bottomRight() * ratio).toPoint());
    const int background = qGray(image.pixel(area.left() - 4, area.top() - 4));
    int total = 0;
    int distinct = 0;
    for (int y = area.top(); y < area.bottom(); ++y) {
        for (int x = area.left(); x < area.right(); ++x) {
            ++total;
            if (std::abs(qGray(image.pixel(x, y)) - background) > 80)
                ++distinct;
        }
    }
    ASSERT_GT(total, 0);
    EXPECT_GT(distinct * 10, total) << qPrintable(what) << ": the icon barely shows (" << distinct << " of " << total
                                   << " pixels stand out)";
}

TEST_F(OnboardingTest, WelcomeScreenshots)
{
    build();
    for (const char* language : {"en", "ja"}) {
        Translations translations;
        translations.install(QLocale(QString::fromLatin1(language)));
        for (bool dark : {false, true}) {
            Theme::setSystemPrefersDark(dark);
            sim_.trust().setTrusted(false);
            windows_->showWelcomeWindow();
            d_.setWindow(welcomeWindow());
            ASSERT_TRUE(d_.window());
            advance(0ms);
            const QString suffix = QStringLiteral("%1-%2").arg(dark ? "dark" : "light", QLatin1String(language));
            d_.save(QStringLiteral("welcome-0-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "welcome-0-" << suffix.toStdString();
            expectIconStandsOut(d_, suffix);
            sim_.trust().setTrusted(true);
            advance(10s);
            d_.save(QStringLiteral("welcome-0-granted-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "welcome-0-granted-" << suffix.toStdString();
            pressReturn(d_);
            d_.save(QStringLiteral("welcome-1-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "welcome-1-" << suffix.toStdString();
            pressReturn(d_);
            d_.save(QStringLiteral("welcome-2-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "welcome-2-" << suffix.toStdString();
            if (QLatin1String(language) == QLatin1String("ja")) {
                EXPECT_EQ(d_.window()->title(), Translations::keepJapanesePhrases(QStringLiteral("Kestrune へようこそ")));
                EXPECT_TRUE(textsUnder(d_.window()->contentItem()).contains(Translations::keepJapanesePhrases(QStringLiteral("はじめる"))));
            }
            d_.window()->close();
        }
    }
    Theme::setSystemPrefersDark(false);
}

TEST_F(OnboardingTest, WelcomeFirstPageWhereTheSystemGrantsAccessibility)
{
    build(/*linux=*/false);
    windows_->showWelcomeWindow();
    d_.setWindow(welcomeWindow());
    ASSERT_TRUE(d_.window());
    advance(0ms);
    EXPECT_TRUE(isShownIn(d_, "openSystemSettingsButton"));
    d_.click(d_.find(QStringLiteral("openSystemSettingsButton")));
    advance(0ms);
    EXPECT_EQ(sim_.trust().promptCount(), 1);
    d_.save(QStringLiteral("welcome-0-accessibility-light-en"));
}

// The Hyper page shows the four modifiers as the platform's keyboards do:
// named on Linux, drawn on a Mac.
class WelcomeKeys : public OnboardingTest, public ::testing::WithParamInterface<KeyboardConvention> {};

TEST_P(WelcomeKeys, HyperPageShowsThePlatformsModifiers)
{
    const bool mac = GetParam() == KeyboardConvention::macOS;
    ScopedKeyboardConvention speaking(GetParam());
    sim_.trust().setTrusted(true); // the last page names where Kestrune runs once it can
    build(/*linux=*/!mac);
    windows_->showWelcomeWindow();
    d_.setWindow(welcomeWindow());
    ASSERT_TRUE(d_.window());
    advance(0ms);
    pressReturn(d_);
    QQuickItem* diagram = d_.findVisible(QStringLiteral("hyperDiagram"));
    ASSERT_TRUE(diagram);
    const QStringList texts = textsUnder(diagram);
    const QStringList names = {QStringLiteral("Super"), QStringLiteral("Alt"), QStringLiteral("Ctrl"),
                               QStringLiteral("Shift")};
    const QStringList symbols = {Symbols::glyph(QStringLiteral("command")), Symbols::glyph(QStringLiteral("option")),
                                 Symbols::glyph(QStringLiteral("control")), Symbols::glyph(QStringLiteral("shift"))};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(texts.contains(names[i]), !mac) << names[i].toStdString();
        EXPECT_EQ(texts.contains(symbols[i]), mac) << i;
    }
    d_.save(QStringLiteral("welcome-1-keys-%1").arg(mac ? "macos" : "linux"));
    pressReturn(d_);
    EXPECT_TRUE(textsUnder(d_.window()->contentItem())
                    .filter(mac ? QStringLiteral("menu bar") : QStringLiteral("system tray"))
                    .size() == 1);
    d_.window()->close();
}

INSTANTIATE_TEST_SUITE_P(Platforms, WelcomeKeys,
                         ::testing::Values(KeyboardConvention::linuxDesktop, KeyboardConvention::macOS),
                         [](const auto& info) {
                             return info.param == KeyboardConvention::macOS ? "macOS" : "Linux";
                         });
