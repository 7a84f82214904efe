// Screenshots of the panel for people to look at: both appearances, with
// and without the permission card, scrolled to the end, a hovered card with
// its help, the menu and an open picker. Each also checks that the panel is
// translucent over the wallpaper and that the appearance took.

#include "PanelFixture.h"
#include "app/Translations.h"

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

// In Japanese every text is translated, and shown in a Japanese font rather
// than as empty boxes; the help behind a key is a real sentence.
TEST_F(PanelTest, ScreenshotInJapanese)
{
    Translations translations;
    ASSERT_EQ(translations.install(QLocale(QStringLiteral("ja_JP"))), QStringLiteral("ja"));
    sim_.trust().setTrusted(false);
    loadPanel(false);
    QQuickItem* card = item(QStringLiteral("card.arrowMode"));
    QQuickItem* info = card->findChild<QQuickItem*>(QStringLiteral("info"));
    hover(info);
    h_->savePng(h_->grab(), QStringLiteral("panel-light-japanese"));

    const QStringList texts = {QStringLiteral("権限が必要です"), QStringLiteral("矢印モード"),
                               QStringLiteral("長押し")};
    for (const QString& expected : texts) {
        bool found = false;
        for (QQuickItem* text : view()->findChildren<QQuickItem*>()) {
            if (text->property("text").toString() == expected) {
                found = true;
                // A glyph-less font would leave the text without width.
                EXPECT_GT(text->property("contentWidth").toDouble(), 10.0) << expected.toStdString();
            }
        }
        EXPECT_TRUE(found) << expected.toStdString();
    }
    h_->hoverAway();
}
