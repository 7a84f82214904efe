// The two HUD views rendered for real (software scene graph), the real
// panel window, and screenshots of both HUDs in light and dark.

#include "base/FileDefaults.h"
#include "base/KeyNames.h"
#include "base/VirtualScheduler.h"
#include "hud/HUDManager.h"
#include "hud/QuickHudPanel.h"
#include "linux/SystemTestSupport.h"
#include "support/ViewHarness.h"

#include <QFont>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <cstdlib>
#include <map>

using namespace kestrune;
using namespace std::chrono_literals;
using config::HyperKeyConfig;

namespace {

// A checkerboard behind the HUD so that its translucency shows.
QString onBackdrop(const QString& view, int width, int height, bool dark)
{
    return QStringLiteral(R"(
import QtQuick
import Kestrune.Style
import Kestrune.Hud
Rectangle {
    width: %2; height: %3
    color: "#808080"
    Grid {
        columns: Math.ceil(parent.width / 8)
        Repeater {
            model: Math.ceil(%2 / 8) * Math.ceil(%3 / 8)
            Rectangle {
                required property int index
                readonly property int columns: Math.ceil(%2 / 8)
                width: 8; height: 8
                color: (index % columns + Math.floor(index / columns)) % 2 ? "#6c6c6c" : "#9c9c9c"
            }
        }
    }
    %1
    Component.onCompleted: Theme.isDark = %4
}
)")
        .arg(view)
        .arg(width)
        .arg(height)
        .arg(dark ? QStringLiteral("true") : QStringLiteral("false"));
}

// --- Hyper pill -------------------------------------------------------------

// Each platform's words, every combination, at a size read at a glance:
// the badge widens for its text instead of shrinking it.
TEST(HudViews, HyperBadgeShowsEachCombinationInThePlatformsWordsLegibly)
{
    const std::map<HyperKeyConfig, std::pair<QString, QString>> expected = {
        {HyperKeyConfig::hyper, {QStringLiteral("⌘⌥⌃⇧"), QStringLiteral("Super+Alt+Ctrl+Shift")}},
        {HyperKeyConfig::cmdOptCtrl, {QStringLiteral("⌘⌥⌃"), QStringLiteral("Super+Alt+Ctrl")}},
        {HyperKeyConfig::cmdOptShift, {QStringLiteral("⌘⌥⇧"), QStringLiteral("Super+Alt+Shift")}},
        {HyperKeyConfig::cmdCtrlShift, {QStringLiteral("⌘⌃⇧"), QStringLiteral("Super+Ctrl+Shift")}},
        {HyperKeyConfig::optCtrlShift, {QStringLiteral("⌥⌃⇧"), QStringLiteral("Alt+Ctrl+Shift")}},
        {HyperKeyConfig::cmdOpt, {QStringLiteral("⌘⌥"), QStringLiteral("Super+Alt")}},
        {HyperKeyConfig::cmdCtrl, {QStringLiteral("⌘⌃"), QStringLiteral("Super+Ctrl")}},
        {HyperKeyConfig::cmdShift, {QStringLiteral("⌘⇧"), QStringLiteral("Super+Shift")}},
        {HyperKeyConfig::optCtrl, {QStringLiteral("⌥⌃"), QStringLiteral("Alt+Ctrl")}},
        {HyperKeyConfig::optShift, {QStringLiteral("⌥⇧"), QStringLiteral("Alt+Shift")}},
        {HyperKeyConfig::ctrlShift, {QStringLiteral("⌃⇧"), QStringLiteral("Ctrl+Shift")}},
    };
    ASSERT_EQ(expected.size(), config::kAllHyperKeyConfigs.size());

    for (const KeyboardConvention convention : {KeyboardConvention::macOS, KeyboardConvention::linuxDesktop}) {
        const bool mac = convention == KeyboardConvention::macOS;
        SCOPED_TRACE(mac ? "macOS" : "Linux");
        ScopedKeyboardConvention speaking(convention);
        HyperViewModel model;
        test::ViewHarness h;
        h.engine().rootContext()->setContextProperty(QStringLiteral("hyperModel"), &model);
        QObject* root = h.load(QStringLiteral("import QtQuick\nimport Kestrune.Hud\n"
                                              "HUDContentView { viewModel: hyperModel }"));
        ASSERT_TRUE(root) << h.error().toStdString();
        QQuickItem* glyphs = h.find(QStringLiteral("hyperGlyphs"));
        QQuickItem* badge = h.find(QStringLiteral("hyperBadge"));
        QQuickItem* caption = h.find(QStringLiteral("hyperCaption"));
        auto* pill = qobject_cast<QQuickItem*>(root);
        ASSERT_TRUE(glyphs && badge && caption && pill);

        for (HyperKeyConfig c : config::kAllHyperKeyConfigs) {
            SCOPED_TRACE(config::rawValue(c).toStdString());
            model.setConfig(c);
            h.settle();
            const QString text = mac ? expected.at(c).first : expected.at(c).second;
            EXPECT_EQ(hyperGlyphs(c), text);
            EXPECT_EQ(glyphs->property("text").toString(), text);
            // At least 14 pixels and drawn at that size, inside the badge
            // with room to spare; the badge stays a circle for short text.
            EXPECT_GE(glyphs->property("font").value<QFont>().pixelSize(), 14);
            EXPECT_GE(glyphs->property("contentHeight").toReal(), 14.0);
            EXPECT_LE(glyphs->property("contentWidth").toReal() + 20, badge->width() + 0.5);
            EXPECT_GE(badge->width(), 36.0);
            EXPECT_EQ(badge->height(), 36.0);

            // The pill asks for its content with 16/10 points of padding.
            h.grab(); // a frame lays the row out
            EXPECT_EQ(badge->height() + 20, root->property("implicitHeight").toReal());
            const QRectF captionInPill = caption->mapRectToItem(pill, caption->boundingRect());
            EXPECT_NEAR(root->property("implicitWidth").toReal() - captionInPill.right(), 16, 1);
            EXPECT_NEAR(badge->mapToItem(pill, QPointF(0, 0)).x(), 16, 1);
        }
    }
}

// --- Input-mode square -------------------------------------------------------

TEST(HudViews, InputModeShowsTheLetterAndPopsOncePerAppearance)
{
    InputModeViewModel model;
    test::ViewHarness h;
    h.engine().rootContext()->setContextProperty(QStringLiteral("inputModel"), &model);
    QObject* root = h.load(QStringLiteral("import QtQuick\nimport Kestrune.Hud\n"
                                          "HUDInputModeView { viewModel: inputModel; property int pops: 0\n"
                                          "  onIsShowingChanged: if (isShowing) pops++ }"));
    ASSERT_TRUE(root) << h.error().toStdString();
    QQuickItem* letter = h.find(QStringLiteral("inputModeCharacter"));
    QQuickItem* square = h.find(QStringLiteral("inputModeSquare"));
    ASSERT_TRUE(letter && square);
    EXPECT_FALSE(root->property("isShowing").toBool());
    EXPECT_EQ(square->scale(), 0.8);
    EXPECT_EQ(letter->property("text").toString(), QStringLiteral("A"));

    model.setIsVisible(true);
    h.settle();
    EXPECT_TRUE(root->property("isShowing").toBool());
    EXPECT_EQ(square->scale(), 1.0);

    // A switch while it is up changes the letter, and nothing else.
    model.setMode(InputMode::kana);
    model.setIsVisible(true);
    h.settle();
    EXPECT_EQ(letter->property("text").toString(), QStringLiteral("あ"));
    EXPECT_TRUE(root->property("isShowing").toBool());
    EXPECT_EQ(root->property("pops").toInt(), 1);

    model.setIsVisible(false);
    h.settle();
    EXPECT_FALSE(root->property("isShowing").toBool());
    EXPECT_EQ(square->scale(), 0.8);
    model.setIsVisible(true);
    h.settle();
    EXPECT_EQ(root->property("pops").toInt(), 2);

    // The letter sits in the middle of the square.
    const QRectF box = letter->mapRectToItem(square, letter->boundingRect());
    EXPECT_NEAR(box.center().x(), 28, 1);
    EXPECT_NEAR(box.center().y(), 28, 1);
}

TEST(HudViews, InputModePopIsASpringUnlessMotionIsReduced)
{
    InputModeViewModel model;
    test::ViewHarness h;
    h.engine().rootContext()->setContextProperty(QStringLiteral("inputModel"), &model);
    QObject* root = h.load(QStringLiteral("import QtQuick\nimport Kestrune.Style\nimport Kestrune.Hud\n"
                                          "HUDInputModeView { viewModel: inputModel\n"
                                          "  function setReduceMotion(on) { Theme.reduceMotion = on } }"));
    ASSERT_TRUE(root) << h.error().toStdString();
    QQuickItem* square = h.find(QStringLiteral("inputModeSquare"));
    ASSERT_TRUE(square);

    QMetaObject::invokeMethod(root, "setReduceMotion", Q_ARG(QVariant, false));
    model.setIsVisible(true);
    EXPECT_LT(square->scale(), 1.0); // on its way, not there at once

    model.setIsVisible(false);
    QMetaObject::invokeMethod(root, "setReduceMotion", Q_ARG(QVariant, true));
    model.setIsVisible(true);
    EXPECT_EQ(square->scale(), 1.0);

    // A view built while the HUD is up starts shown.
    test::ViewHarness late;
    late.engine().rootContext()->setContextProperty(QStringLiteral("inputModel"), &model);
    QObject* lateRoot = late.load(QStringLiteral("import QtQuick\nimport Kestrune.Hud\n"
                                                 "HUDInputModeView { viewModel: inputModel }"));
    ASSERT_TRUE(lateRoot) << late.error().toStdString();
    EXPECT_TRUE(lateRoot->property("isShowing").toBool());
}

// --- Screenshots ---------------------------------------------------------------

class HudScreenshots : public ::testing::TestWithParam<bool> {};

// The Hyper pill as this desktop shows it, and (light only) as a Mac does.
TEST_P(HudScreenshots, HyperPill)
{
    const bool dark = GetParam();
    for (const KeyboardConvention convention : {KeyboardConvention::linuxDesktop, KeyboardConvention::macOS}) {
        const bool mac = convention == KeyboardConvention::macOS;
        if (mac && dark)
            continue;
        ScopedKeyboardConvention speaking(convention);
        HyperViewModel model;
        test::ViewHarness h;
        h.engine().rootContext()->setContextProperty(QStringLiteral("hyperModel"), &model);
        ASSERT_TRUE(h.load(onBackdrop(QStringLiteral("HUDContentView { anchors.centerIn: parent; viewModel: hyperModel }"),
                                      400, 96, dark)))
            << h.error().toStdString();
        const QImage image = h.grab();
        const QString path = h.savePng(image, QStringLiteral("hud-hyper-%1%2")
                                                  .arg(mac ? QStringLiteral("macos-") : QString(),
                                                       dark ? QStringLiteral("dark") : QStringLiteral("light")));
        std::printf("screenshot: %s\n", qPrintable(path));
        EXPECT_EQ(test::illegibleTexts(image, h.window()->contentItem()), "");

        // The pill's material covers the checkerboard at its edge, left of the badge.
        QQuickItem* badge = h.find(QStringLiteral("hyperBadge"));
        ASSERT_TRUE(badge);
        const QPointF beside = badge->mapToScene({-8, 18});
        const QColor material = test::pixel(image, beside);
        EXPECT_EQ(material.lightness() > 128, !dark) << qPrintable(material.name());
        // The text is drawn in the primary colour, dark on light and light
        // on dark: somewhere in its box a pixel is near that.
        QQuickItem* glyphs = h.find(QStringLiteral("hyperGlyphs"));
        ASSERT_TRUE(glyphs);
        const QRect box = glyphs->mapRectToScene(glyphs->boundingRect()).toAlignedRect();
        int inked = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (std::abs(QColor(image.pixel(x, y)).lightness() - material.lightness()) > 120)
                    ++inked;
        EXPECT_GT(inked, 60) << "too little of the text is drawn";
    }
}

TEST_P(HudScreenshots, InputModeKana)
{
    const bool dark = GetParam();
    InputModeViewModel model;
    model.setMode(InputMode::kana);
    model.setIsVisible(true);
    test::ViewHarness h;
    h.engine().rootContext()->setContextProperty(QStringLiteral("inputModel"), &model);
    ASSERT_TRUE(h.load(onBackdrop(QStringLiteral("HUDInputModeView { anchors.centerIn: parent; viewModel: inputModel }"),
                                  96, 96, dark)))
        << h.error().toStdString();
    const QImage image = h.grab();
    const QString path =
        h.savePng(image, dark ? QStringLiteral("hud-inputmode-kana-dark") : QStringLiteral("hud-inputmode-kana-light"));
    std::printf("screenshot: %s\n", qPrintable(path));
    EXPECT_EQ(test::illegibleTexts(image, h.window()->contentItem()), "");
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, HudScreenshots, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Dark" : "Light"; });

// --- The real panel ------------------------------------------------------------------

// The offscreen platform gives the focus to every window it shows, whatever
// its flags, so only a real X server can tell whether a panel takes it: off
// X11 this test runs itself again in a child process on an Xvfb of its own.
TEST(QuickHudPanel, FloatsClickThroughAndNeverTakesTheFocus)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        test::XvfbServer server;
        ASSERT_TRUE(server.isRunning()) << "Xvfb did not start";
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(server.display()));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=QuickHudPanel.FloatsClickThroughAndNeverTakesTheFocus")});
        ASSERT_TRUE(child.waitForFinished(60000)) << "the child on Xvfb did not finish";
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }

    // A window the user is typing in.
    QQuickWindow editor;
    editor.resize(200, 100);
    editor.show();
    editor.requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));

    QuickHudPanelFactory factory;
    HyperViewModel hyperModel;
    InputModeViewModel inputModel;
    std::unique_ptr<HudPanel> panels[] = {factory.makeHyperPanel(hyperModel), factory.makeInputModePanel(inputModel)};
    const QSize initial[] = {{220, 60}, {56, 56}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "hyper" : "input mode");
        auto* panel = static_cast<QuickHudPanel*>(panels[i].get());
        QQuickWindow* window = panel->window();
        ASSERT_TRUE(panel->content()) << "the view did not load";
        const Qt::WindowFlags flags = window->flags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::X11BypassWindowManagerHint));
        EXPECT_EQ(window->type(), Qt::Tool);
        EXPECT_EQ(window->color(), QColor(Qt::transparent));
        EXPECT_EQ(window->format().alphaBufferSize(), 8);
        EXPECT_EQ(window->size(), initial[i]);
        EXPECT_EQ(panel->opacity(), 0);
        EXPECT_FALSE(panel->isShown());

        panel->setSize(panel->contentSize());
        panel->setOpacity(1);
        panel->orderFront();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        // Give a focus change every chance to arrive before looking.
        QTest::qWait(100);
        EXPECT_TRUE(panel->isShown());
        EXPECT_FALSE(window->isActive());
        EXPECT_EQ(QGuiApplication::focusWindow(), &editor);
        EXPECT_TRUE(editor.isActive());
        panel->orderOut();
        EXPECT_FALSE(panel->isShown());
    }
}

TEST(QuickHudPanel, ManagerPlacesTheRealPanelsAroundTheirViews)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileDefaults defaults(dir.path());
    VirtualScheduler clock;
    QuickHudPanelFactory factory;
    PrimaryScreen screens;
    HUDManager hud(clock, defaults, factory, screens);
    clock.runDue();
    auto* hyper = static_cast<QuickHudPanel*>(hud.hyperPanel());
    auto* inputMode = static_cast<QuickHudPanel*>(hud.inputModePanel());
    ASSERT_TRUE(hyper && inputMode && hyper->content() && inputMode->content());

    hud.setPendingHyperConfig(HyperKeyConfig::cmdOptCtrl);
    hud.showHyperHUD(200ms);
    hud.showInputModeHUD(InputMode::kana);
    clock.advanceBy(200ms);
    QCoreApplication::processEvents();

    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    // The window is the pill plus room for its shadow, the pill in the middle.
    QQuickItem* pill = hyper->content();
    const QRect frame = hyper->window()->geometry();
    EXPECT_EQ(frame.width(), qCeil(pill->implicitWidth()) + 16);
    EXPECT_EQ(frame.height(), qCeil(pill->implicitHeight()) + 16);
    EXPECT_NEAR(pill->x() + pill->width() / 2, frame.width() / 2.0, 0.5);
    EXPECT_NEAR(frame.center().x(), screen->availableGeometry().center().x(), 1);
    EXPECT_EQ(frame.y() + frame.height(), screen->availableGeometry().y() + screen->availableGeometry().height() - 80);
    EXPECT_TRUE(hyper->window()->isVisible());
    EXPECT_EQ(pill->findChild<QQuickItem*>(QStringLiteral("hyperGlyphs"))->property("text").toString(),
              hyperGlyphs(HyperKeyConfig::cmdOptCtrl));

    const QRect square = inputMode->window()->geometry();
    EXPECT_EQ(square.size(), QSize(56, 56));
    EXPECT_NEAR(square.center().x(), screen->geometry().center().x(), 1);
    EXPECT_NEAR(square.center().y(), screen->geometry().center().y(), 1);
    EXPECT_EQ(inputMode->content()->findChild<QQuickItem*>(QStringLiteral("inputModeCharacter"))->property("text"),
              QStringLiteral("あ"));

    clock.advanceBy(1100ms);
    EXPECT_FALSE(inputMode->window()->isVisible());
    EXPECT_EQ(inputMode->window()->opacity(), 0);
}

} // namespace
