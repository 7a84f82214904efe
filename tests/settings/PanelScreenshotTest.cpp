// Screenshots of the panel for people to look at: both appearances, with
// and without the permission card, scrolled to the end, a hovered card with
// its help, the menu and an open picker. Each also checks that the panel is
// translucent over the wallpaper and that the appearance took.

#include "PanelFixture.h"
#include "app/Translations.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QProcess>
#include <cstdio>

using namespace kestrune;
using namespace kestrune::test;

namespace {
double lightness(const QColor& c) { return c.lightnessF(); }
} // namespace

class PanelScreenshots : public PanelTest, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(PanelScreenshots, Panel)
{
    const auto [dark, trusted] = GetParam();
    sim_.trust().setTrusted(trusted);
    loadPanel(dark);
    EXPECT_EQ(item(QStringLiteral("permissionCard"))->isVisible(), !trusted);

    const QImage image = h_->grab();
    const QString name = QStringLiteral("panel-%1-%2").arg(dark ? "dark" : "light", trusted ? "trusted" : "untrusted");
    h_->savePng(image, name);

    // Just inside the panel's left edge, halfway down: panel tint over the
    // wallpaper, so neither the bare wallpaper nor an opaque fill.
    const QColor wallpaper = pixel(image, {8, 260});
    const QColor panel = pixel(image, {20, 260});
    EXPECT_NE(panel, wallpaper);
    EXPECT_EQ(lightness(panel) < 0.4, dark) << qPrintable(panel.name());

    if (trusted && !dark) {
        scrollBy(-2000);
        h_->savePng(h_->grab(), name + QStringLiteral("-bottom"));
    }
}

INSTANTIATE_TEST_SUITE_P(Appearances, PanelScreenshots,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Dark" : "Light") +
                                    (std::get<1>(info.param) ? "Trusted" : "Untrusted");
                         });

TEST_F(PanelTest, ScreenshotHoveredCardWithHelp)
{
    for (bool dark : {false, true}) {
        loadPanel(dark);
        QQuickItem* card = item(QStringLiteral("card.arrowMode")); // on: its glow shows
        QQuickItem* info = card->findChild<QQuickItem*>(QStringLiteral("info"));
        hover(info);
        ASSERT_TRUE(info->property("popoverVisible").toBool());
        h_->savePng(h_->grab(), dark ? QStringLiteral("panel-dark-hover-info") : QStringLiteral("panel-light-hover-info"));
        h_->hoverAway();
    }
}

TEST_F(PanelTest, ScreenshotMenuAndPicker)
{
    loadPanel(false);
    click(item(QStringLiteral("ellipsisButton")));
    ASSERT_TRUE(item(QStringLiteral("quitItem"))->isVisible());
    h_->savePng(h_->grab(), QStringLiteral("panel-light-menu"));
    pressEscape();

    loadPanel(true);
    click(item(QStringLiteral("longPressPicker")));
    ASSERT_TRUE(item(QStringLiteral("longPressPicker.option.0"))->isVisible());
    h_->savePng(h_->grab(), QStringLiteral("panel-dark-picker-open"));
}

// A Japanese desktop as its user has it: the language comes from LANG, and
// so does fontconfig's default face, which on Debian is VL Gothic, whose
// Latin letters are monospaced. Qt reads both when the application starts,
// so off a Japanese locale this test runs itself again in a child process
// with LANG=ja_JP.UTF-8. Every text is translated, drawn in a Japanese font
// rather than as empty boxes, and the Latin words ("Kestrune", "Hyper") in a
// proportional face.
TEST_F(PanelTest, ScreenshotInJapanese)
{
    if (!qEnvironmentVariable("LANG").startsWith(QLatin1String("ja"))) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8"));
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_CTYPE"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.remove(QStringLiteral("LANGUAGE"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=PanelTest.ScreenshotInJapanese")});
        ASSERT_TRUE(child.waitForFinished(60000)) << "the child under LANG=ja_JP.UTF-8 did not finish";
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        std::printf("%s", output.constData());
        return;
    }

    const QString desktopDefault = QFontInfo(QGuiApplication::font()).family();
    std::printf("the desktop's default face under LANG=%s: %s\n", qPrintable(qEnvironmentVariable("LANG")),
                qPrintable(desktopDefault));
    Translations translations;
    ASSERT_EQ(translations.install(QLocale()), QStringLiteral("ja"));
    sim_.trust().setTrusted(false);
    loadPanel(false);
    QQuickItem* card = item(QStringLiteral("card.arrowMode"));
    QQuickItem* info = card->findChild<QQuickItem*>(QStringLiteral("info"));
    hover(info);
    h_->savePng(h_->grab(), QStringLiteral("panel-light-japanese"));

    const QStringList texts = {QStringLiteral("権限が必要です"), QStringLiteral("矢印モード"),
                               QStringLiteral("長押し"), QStringLiteral("Kestrune"), QStringLiteral("Hyper キー")};
    for (const QString& expected : texts) {
        bool found = false;
        for (QQuickItem* text : view()->findChildren<QQuickItem*>()) {
            if (text->property("text").toString() != Translations::keepJapanesePhrases(expected))
                continue;
            found = true;
            // A glyph-less font would leave the text without width.
            EXPECT_GT(text->property("contentWidth").toDouble(), 10.0) << expected.toStdString();
            // The face drawn is a proportional Japanese one: "i" narrower
            // than "M". (Fontconfig gives its name in Japanese here.)
            const QFont font = text->property("font").value<QFont>();
            const QString family = QFontInfo(font).family();
            EXPECT_TRUE(Translations::japaneseFamilies().contains(font.family()))
                << expected.toStdString() << " asks for " << font.family().toStdString();
            EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) << family.toStdString();
            const QFontMetricsF metrics(font);
            EXPECT_LT(metrics.horizontalAdvance(QStringLiteral("iiii")), metrics.horizontalAdvance(QStringLiteral("MMMM")))
                << expected.toStdString() << " in " << family.toStdString();
        }
        EXPECT_TRUE(found) << expected.toStdString();
    }
    // The pickers (Qt Quick Controls) take the face too.
    const QFont pickerFont = item(QStringLiteral("longPressPicker"))->property("font").value<QFont>();
    EXPECT_TRUE(Translations::japaneseFamilies().contains(pickerFont.family())) << pickerFont.family().toStdString();
    h_->hoverAway();
}

// About Kestrune shows Kestrune's own icon, drawn, not a generic keyboard.
TEST(AboutWindow, ShowsKestrunesIcon)
{
    ViewHarness h;
    QObject* root = h.load(QStringLiteral("import Kestrune.Settings\nAboutView { version: \"1.2.3\" }"));
    ASSERT_TRUE(root) << h.error().toStdString();
    h.settle();
    QQuickItem* icon = h.find(QStringLiteral("aboutIcon"));
    ASSERT_TRUE(icon);
    EXPECT_TRUE(icon->property("available").toBool()) << "the icon is not in the resources";
    const QImage image = h.grab();
    h.savePng(image, QStringLiteral("about-light"));
    const QPointF centre = icon->mapToScene(QPointF(icon->width() / 2, icon->height() / 2));
    EXPECT_NE(image.pixelColor(centre.toPoint()), image.pixelColor(4, 4)) << "nothing drawn where the icon is";
}
