// The tray icon as the application wires it (ShellWindows): its menu opens
// the settings, pauses and resumes, and shows "About Kestrune"; its icon and
// tooltip tell working, paused and not working apart.

#include "OnboardingFixture.h"
#include "support/ViewHarness.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QQuickView>

using namespace kestrune;
using namespace kestrune::test;

namespace {

QAction* actionNamed(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QStringList visibleTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("—") : action->text());
    }
    return texts;
}

bool panelShown()
{
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && window->title() == QStringLiteral("Kestrune"))
            return true;
    }
    return false;
}

void saveShot(const QImage& image, const QString& name)
{
    ViewHarness saver;
    saver.savePng(image, name);
}

// The icon at tray size on a panel of `background`, as a person sees it.
QImage onPanel(const QIcon& icon, const QColor& background)
{
    QImage image(22, 22, QImage::Format_ARGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, icon.pixmap(22, 22));
    return image;
}

class TrayMenu : public OnboardingTest {
protected:
    void SetUp() override
    {
        sim_.trust().setTrusted(true);
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
        build();
        tray_->setStatus(remapper_.status());
        remapper_.start();
        advance(Millis{0});
    }
    QMenu* menu() { return tray_->menu(); }
};

TEST_F(TrayMenu, OffersSettingsPauseAndAboutAroundTheHeaderCommands)
{
    EXPECT_EQ(visibleTexts(menu()),
              (QStringList{"Open Settings", "Pause", "—", "Check for Updates...", "—", "Show HUD Notifications", "—",
                           "Reset Keys", "—", "About Kestrune", "Quit Kestrune"}));
    menu()->adjustSize();
    const QImage shot = menu()->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    saveShot(shot, QStringLiteral("tray-menu-working"));

    ASSERT_FALSE(panelShown());
    actionNamed(menu(), QStringLiteral("Open Settings"))->trigger();
    advance(Millis{0});
    EXPECT_TRUE(panelShown());
    panel_->hide();
}

TEST_F(TrayMenu, PauseAndResumeFollowTheEngine)
{
    QAction* pause = actionNamed(menu(), QStringLiteral("Pause"));
    ASSERT_TRUE(pause);
    pause->trigger();
    advance(Millis{0});
    EXPECT_FALSE(remapper_.isEnabled());
    EXPECT_FALSE(remapper_.hasEventTap());
    EXPECT_EQ(pause->text(), QStringLiteral("Resume"));
    EXPECT_EQ(tray_->toolTip(), QStringLiteral("Kestrune is paused\nKeys behave as usual until you resume it."));
    // No tooltip over the open panel's header; back once it closes.
    tray_->setPanelOpen(true);
    EXPECT_EQ(tray_->toolTip(), QString());
    tray_->setPanelOpen(false);
    EXPECT_EQ(tray_->toolTip(), QStringLiteral("Kestrune is paused\nKeys behave as usual until you resume it."));
    menu()->adjustSize();
    saveShot(menu()->grab().toImage(), QStringLiteral("tray-menu-paused"));

    pause->trigger();
    advance(Millis{0});
    EXPECT_TRUE(remapper_.isEnabled());
    EXPECT_TRUE(remapper_.hasEventTap());
    EXPECT_EQ(pause->text(), QStringLiteral("Pause"));

    // Paused from the panel: the menu follows.
    remapper_.setIsEnabled(false);
    advance(Millis{0});
    EXPECT_EQ(pause->text(), QStringLiteral("Resume"));
}

TEST_F(TrayMenu, IconIsPlainDimmedOrBadgedWithTheStateInItsTooltip)
{
    const QColor panel(0x20, 0x20, 0x24);
    tray_->setDarkPanel(true);
    const QImage working = onPanel(tray_->icon(), panel);
    EXPECT_EQ(tray_->toolTip(), QStringLiteral("Kestrune is working"));

    remapper_.setIsEnabled(false);
    advance(Millis{0});
    const QImage paused = onPanel(tray_->icon(), panel);

    remapper_.setIsEnabled(true);
    remapper_.stop();
    sim_.keyboard().setTapFailure(QStringLiteral("The virtual keyboard could not be created through /dev/uinput."));
    remapper_.start();
    advance(Millis{0});
    const QImage broken = onPanel(tray_->icon(), panel);
    EXPECT_TRUE(tray_->toolTip().startsWith(QStringLiteral("Kestrune is not working\nThe virtual keyboard")));

    // Brightest pixel: the artwork's ink, full while working, dimmed while paused.
    auto brightest = [](const QImage& image) {
        int best = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                best = std::max(best, qGray(image.pixel(x, y)));
        return best;
    };
    EXPECT_GT(brightest(working), 220);
    EXPECT_LT(brightest(paused), 140);
    EXPECT_GT(brightest(paused), 60) << "still there, only quieter";

    // The badge: red in the lower right corner, only while not working.
    auto red = [](const QImage& image) {
        const QColor c = image.pixelColor(17, 17);
        return c.red() > 200 && c.green() < 100 && c.blue() < 100;
    };
    EXPECT_FALSE(red(working));
    EXPECT_FALSE(red(paused));
    EXPECT_TRUE(red(broken));

    // Enlarged side by side for the eye: working, paused, not working.
    QImage strip(3 * 88 + 4 * 8, 88 + 16, QImage::Format_ARGB32);
    strip.fill(panel);
    QPainter painter(&strip);
    int x = 8;
    for (const QImage* image : {&working, &paused, &broken}) {
        painter.drawImage(QRect(x, 8, 88, 88), *image);
        x += 96;
    }
    painter.end();
    saveShot(strip, QStringLiteral("tray-icon-states"));
    remapper_.stop();
}

TEST_F(TrayMenu, AboutShowsVersionLicenceAndHomepage)
{
    actionNamed(menu(), QStringLiteral("About Kestrune"))->trigger();
    QuickWindowController& about = windows_->aboutWindow();
    ASSERT_TRUE(about.isVisible()) << about.error().toStdString();
    EXPECT_EQ(about.window()->title(), QStringLiteral("About Kestrune"));
    d_.setWindow(about.window());
    d_.settle();
    EXPECT_EQ(d_.find(QStringLiteral("aboutVersion"))->property("text").toString(), QStringLiteral("Version 1.2.3"));
    EXPECT_FALSE(d_.find(QStringLiteral("aboutLicence"))->property("text").toString().isEmpty());
    EXPECT_TRUE(d_.find(QStringLiteral("aboutHomepage"))->property("text").toString().startsWith(QStringLiteral("https://")));
    d_.save(QStringLiteral("about-light"));
    EXPECT_EQ(d_.illegibleTexts(), "");

    d_.click(d_.find(QStringLiteral("aboutOkButton")));
    EXPECT_FALSE(about.isVisible());
}

} // namespace
