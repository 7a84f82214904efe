// The panel driven through its real controls: what each click changes in
// the models, and what the panel shows as the models change elsewhere.

#include "PanelFixture.h"
#include "style/Symbols.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QSignalSpy>
#include <functional>

using namespace kestrune;
using namespace kestrune::test;

namespace {
bool isActive(QQuickItem* card) { return card->property("isActive").toBool(); }
} // namespace

// --- Header ---------------------------------------------------------------

TEST_F(PanelTest, StatusDotPausesResumesAndFollowsTheEngine)
{
    loadPanel();
    QQuickItem* dot = item(QStringLiteral("statusDot"));
    ASSERT_TRUE(dot);
    const QColor green(0x28, 0xcd, 0x41), orange(0xff, 0x95, 0x00);
    auto shown = [&] { return pixel(h_->grab(), dot->mapToScene(QPointF(4, 4))); };
    auto tip = [&] { return dot->property("toolTipText").toString(); };
    const QString working = QStringLiteral("Kestrune is working\nPause Kestrune");
    const QString paused = QStringLiteral("Kestrune is paused\nKeys behave as usual until you resume it.\nResume Kestrune");

    ASSERT_TRUE(remapper_.isEnabled());
    EXPECT_EQ(shown(), green);
    EXPECT_EQ(tip(), working);

    click(dot);
    runDue();
    EXPECT_FALSE(remapper_.isEnabled());
    EXPECT_EQ(shown(), orange);
    EXPECT_EQ(tip(), paused);

    click(dot);
    runDue();
    EXPECT_TRUE(remapper_.isEnabled());
    EXPECT_EQ(shown(), green);
    EXPECT_EQ(tip(), working);

    // Paused from elsewhere (the tray, a shortcut): the dot follows.
    remapper_.setIsEnabled(false);
    runDue();
    EXPECT_EQ(shown(), orange);
    EXPECT_EQ(tip(), paused);
}

TEST_F(PanelTest, MenuItemsReachTheirModelsAndSignals)
{
    loadPanel();
    QObject* hud = stub("hudStub");
    QQuickItem* hudItem = item(QStringLiteral("showHudItem"));
    ASSERT_TRUE(hud && hudItem);
    auto checked = [&] { return hudItem->property("checked").toBool(); };

    EXPECT_TRUE(checked());
    hud->setProperty("isHUDEnabled", false);
    EXPECT_FALSE(checked());

    chooseMenuItem(QStringLiteral("showHudItem"));
    EXPECT_TRUE(hud->property("isHUDEnabled").toBool());
    EXPECT_TRUE(checked());
    chooseMenuItem(QStringLiteral("showHudItem"));
    EXPECT_FALSE(hud->property("isHUDEnabled").toBool());
    EXPECT_FALSE(checked());
    // Choosing the item checks it by itself; the mark must still follow
    // the model afterwards.
    hud->setProperty("isHUDEnabled", true);
    EXPECT_TRUE(checked());

    QSignalSpy reset(view(), SIGNAL(resetKeysRequested()));
    QSignalSpy quit(view(), SIGNAL(quitRequested()));
    QSignalSpy about(view(), SIGNAL(aboutRequested()));
    chooseMenuItem(QStringLiteral("aboutItem"));
    EXPECT_EQ(about.count(), 1);
    chooseMenuItem(QStringLiteral("resetKeysItem"));
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(quit.count(), 0);
    chooseMenuItem(QStringLiteral("quitItem"));
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(quit.count(), 1);

    chooseMenuItem(QStringLiteral("checkForUpdatesItem"));
    EXPECT_EQ(stub("updaterStub")->property("checks").toInt(), 1);
    EXPECT_FALSE(item(QStringLiteral("checkForUpdatesItem"))->isVisible()) << "the menu stays open";
}

// "Keyboards…" only where the platform tells keyboards apart (the
// application hands in a model then), taking no room otherwise.
TEST_F(PanelTest, KeyboardsItemOnlyWithAKeyboardsModel)
{
    loadPanel();
    QQuickItem* keyboardsItem = item(QStringLiteral("keyboardsItem"));
    QQuickItem* reset = item(QStringLiteral("resetKeysItem"));
    click(item(QStringLiteral("ellipsisButton")));
    ASSERT_TRUE(reset->isVisible());
    EXPECT_FALSE(keyboardsItem->isVisible());
    layOut();
    const qreal resetWithout = reset->y();
    pressEscape();

    QObject keyboards;
    view()->setProperty("keyboards", QVariant::fromValue(&keyboards));
    QSignalSpy requested(view(), SIGNAL(keyboardsRequested()));
    click(item(QStringLiteral("ellipsisButton")));
    ASSERT_TRUE(keyboardsItem->isVisible());
    layOut();
    EXPECT_EQ(keyboardsItem->y() + keyboardsItem->height(), reset->y()) << "just before Reset Keys";
    EXPECT_EQ(reset->y(), resetWithout + keyboardsItem->height());
    click(keyboardsItem);
    EXPECT_EQ(requested.count(), 1);
    EXPECT_FALSE(keyboardsItem->isVisible()) << "the menu closes";
}

// --- Cards ----------------------------------------------------------------

TEST_F(PanelTest, HeroCardTurnsBothHalvesOnUnlessBothAreOn)
{
    loadPanel();
    QQuickItem* hero = item(QStringLiteral("heroCard"));
    ASSERT_TRUE(hero);

    remapper_.setIsHyperKeyEnabled(true);
    remapper_.setIsSinglePressEnabled(false);
    runDue();
    EXPECT_FALSE(isActive(hero));
    clickCard(QStringLiteral("heroCard"));
    EXPECT_TRUE(remapper_.isHyperKeyEnabled());
    EXPECT_TRUE(remapper_.isSinglePressEnabled());
    EXPECT_TRUE(isActive(hero));

    clickCard(QStringLiteral("heroCard"));
    EXPECT_FALSE(remapper_.isHyperKeyEnabled());
    EXPECT_FALSE(remapper_.isSinglePressEnabled());
    EXPECT_FALSE(isActive(hero));

    remapper_.setIsSinglePressEnabled(true);
    runDue();
    clickCard(QStringLiteral("heroCard"));
    EXPECT_TRUE(remapper_.isHyperKeyEnabled());
    EXPECT_TRUE(remapper_.isSinglePressEnabled());
}

class FeatureCards : public PanelTest {
protected:
    struct Card {
        QString name;
        std::function<bool()> model;
    };
    std::vector<Card> cards()
    {
        QObject* login = stub("loginStub");
        return {
            {QStringLiteral("card.arrowMode"), [this] { return remapper_.isVimModeEnabled(); }},
            {QStringLiteral("card.doubleTap"), [this] { return remapper_.isCapsLockDoubleTapEnabled(); }},
            {QStringLiteral("card.cmdKeys"), [this] { return remapper_.isCmdEisuKanaEnabled(); }},
            {QStringLiteral("card.launchAtLogin"), [login] { return login->property("isEnabled").toBool(); }},
            {QStringLiteral("card.appLauncher"), [this] { return launcher_.isEnabled(); }},
            {QStringLiteral("card.exclusions"), [this] { return exclusions_.isEnabled(); }},
        };
    }
    // Every switch the panel shows: the hero's two halves, then each card's model.
    std::vector<bool> state()
    {
        std::vector<bool> s{remapper_.isHyperKeyEnabled(), remapper_.isSinglePressEnabled()};
        for (const Card& c : cards())
            s.push_back(c.model());
        return s;
    }
};

TEST_F(FeatureCards, EachClickInvertsItsOwnModelOnly)
{
    loadPanel();
    const std::vector<Card> all = cards();
    for (size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i].name.toStdString());
        QQuickItem* card = item(all[i].name);
        ASSERT_TRUE(card);
        std::vector<bool> expected = state();
        EXPECT_EQ(isActive(card), all[i].model());

        clickCard(all[i].name);
        expected[i + 2] = !expected[i + 2];
        EXPECT_EQ(state(), expected);
        EXPECT_EQ(isActive(card), all[i].model());

        clickCard(all[i].name);
        expected[i + 2] = !expected[i + 2];
        EXPECT_EQ(state(), expected);
    }
}

TEST_F(FeatureCards, ControlsOnACardKeepTheirClicks)
{
    loadPanel();
    const std::vector<bool> before = state();
    QSignalSpy closes(view(), SIGNAL(closeRequested()));

    for (const char* name : {"longPressPicker", "singlePressPicker", "arrowLayoutPicker", "cmdKeysPicker"}) {
        SCOPED_TRACE(name);
        QQuickItem* picker = item(QString::fromLatin1(name));
        ASSERT_TRUE(picker);
        QObject* popup = picker->property("popup").value<QObject*>();
        click(picker);
        EXPECT_TRUE(popup->property("visible").toBool()) << "the picker did not open";
        pressEscape();
        EXPECT_FALSE(popup->property("visible").toBool());
    }
    // Escape went to the open lists only; with nothing open it asks the
    // panel to close.
    EXPECT_EQ(closes.count(), 0);
    pressEscape();
    EXPECT_EQ(closes.count(), 1);

    QSignalSpy launcherSettings(view(), SIGNAL(launcherSettingsRequested()));
    QSignalSpy exclusionSettings(view(), SIGNAL(exclusionSettingsRequested()));
    click(item(QStringLiteral("launcherSettingsButton")));
    click(item(QStringLiteral("exclusionSettingsButton")));
    EXPECT_EQ(launcherSettings.count(), 1);
    EXPECT_EQ(exclusionSettings.count(), 1);

    for (const QString& card : {QStringLiteral("heroCard"), QStringLiteral("card.arrowMode"),
                                QStringLiteral("card.doubleTap"), QStringLiteral("card.cmdKeys"),
                                QStringLiteral("card.launchAtLogin"), QStringLiteral("card.appLauncher"),
                                QStringLiteral("card.exclusions")}) {
        QQuickItem* info = item(card)->findChild<QQuickItem*>(QStringLiteral("info"));
        ASSERT_TRUE(info) << card.toStdString();
        click(info);
        // Only the switch toggles: the card's bare surface keeps still.
        QQuickItem* body = item(card);
        clickAt(body, QPointF(8, body->height() / 2));
        clickAt(body, QPointF(body->width() / 2, body->height() - 6));
    }
    runDue();
    EXPECT_EQ(state(), before);
}

TEST_F(FeatureCards, TheClickThatDismissesAPopupGoesNoFurther)
{
    loadPanel();
    const std::vector<bool> before = state();
    QQuickItem* picker = item(QStringLiteral("longPressPicker"));
    QObject* list = picker->property("popup").value<QObject*>();
    click(picker);
    ASSERT_TRUE(list->property("visible").toBool());
    clickCard(QStringLiteral("card.doubleTap"));
    EXPECT_FALSE(list->property("visible").toBool());

    QQuickItem* quit = item(QStringLiteral("quitItem"));
    click(item(QStringLiteral("ellipsisButton")));
    ASSERT_TRUE(quit->isVisible());
    clickCard(QStringLiteral("card.arrowMode"));
    EXPECT_FALSE(quit->isVisible());
    EXPECT_EQ(state(), before);

    // ⋯ closes its own menu rather than reopening it.
    click(item(QStringLiteral("ellipsisButton")));
    click(item(QStringLiteral("ellipsisButton")));
    EXPECT_FALSE(quit->isVisible());
}

TEST_F(PanelTest, HoveringTheInfoIconLiftsTheCardAndShowsItsHelp)
{
    loadPanel();
    QQuickItem* card = item(QStringLiteral("card.arrowMode"));
    QQuickItem* info = card->findChild<QQuickItem*>(QStringLiteral("info"));
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->property("popoverVisible").toBool());

    hover(info);
    EXPECT_TRUE(card->property("isHovering").toBool());
    EXPECT_TRUE(card->property("isInfoHovering").toBool());
    EXPECT_DOUBLE_EQ(card->scale(), 1.04);
    EXPECT_TRUE(info->property("popoverVisible").toBool());
    EXPECT_EQ(info->property("popoverText").toString(), QStringLiteral("Vim Mode Help"));

    // Escape puts the help away, and only the help; the panel stays.
    QSignalSpy closes(view(), SIGNAL(closeRequested()));
    pressEscape();
    EXPECT_FALSE(info->property("popoverVisible").toBool());
    EXPECT_EQ(closes.count(), 0) << "Escape closed the panel, not the help";
    pressEscape();
    EXPECT_EQ(closes.count(), 1);

    h_->hoverAway();
    EXPECT_FALSE(card->property("isHovering").toBool());
    EXPECT_FALSE(card->property("isInfoHovering").toBool());
    EXPECT_DOUBLE_EQ(card->scale(), 1.0);
    EXPECT_FALSE(info->property("popoverVisible").toBool());
    hover(info);
    EXPECT_TRUE(info->property("popoverVisible").toBool()) << "shown again when the pointer comes back";
}

// --- Permission, footer, scrolling ----------------------------------------

TEST_F(PanelTest, PermissionCardShowsExactlyWhileUntrusted)
{
    sim_.trust().setTrusted(false);
    loadPanel();
    QQuickItem* card = item(QStringLiteral("permissionCard"));
    ASSERT_TRUE(card);
    EXPECT_TRUE(card->isVisible());

    click(item(QStringLiteral("fixButton")));
    runDue();
    EXPECT_EQ(sim_.trust().promptCount(), 1);
    EXPECT_EQ(sim_.trust().settingsOpenCount(), 1);
    EXPECT_TRUE(card->isVisible());

    // Granted while the panel was closed: the next opening sees it.
    sim_.trust().setTrusted(true);
    QMetaObject::invokeMethod(view(), "panelShown");
    runDue();
    EXPECT_FALSE(card->isVisible());

    sim_.trust().setTrusted(false);
    QMetaObject::invokeMethod(view(), "panelShown");
    runDue();
    EXPECT_TRUE(card->isVisible());
}

TEST_F(PanelTest, FooterShowsTheVersionAndClearsTheLogInDebugMode)
{
    QCoreApplication::setApplicationVersion(QStringLiteral("2.5.1"));
    loadPanel();
    scrollBy(-2000);
    QQuickItem* version = item(QStringLiteral("versionText"));
    QQuickItem* clear = item(QStringLiteral("clearLogButton"));
    ASSERT_TRUE(version && clear);
    EXPECT_EQ(version->property("text").toString(), QStringLiteral("v2.5.1"));
    QCoreApplication::setApplicationVersion(QString());
    h_->settle();
    EXPECT_EQ(version->property("text").toString(), QStringLiteral("v1.0"));

    EXPECT_FALSE(clear->isVisible());
    remapper_.setDebugLog(QStringLiteral("caps down\n"));
    remapper_.setIsDebugEnabled(true);
    h_->settle();
    ASSERT_TRUE(clear->isVisible());
    click(clear);
    EXPECT_EQ(remapper_.debugLog(), QString());
    remapper_.setIsDebugEnabled(false);
    h_->settle();
    EXPECT_FALSE(clear->isVisible());
}

TEST_F(PanelTest, ContentTallerThanThePanelScrolls)
{
    sim_.trust().setTrusted(false); // the tallest content
    loadPanel();
    QQuickItem* scroller = item(QStringLiteral("scroller"));
    QQuickItem* version = item(QStringLiteral("versionText"));
    ASSERT_TRUE(scroller && version);
    EXPECT_EQ(scroller->width(), 360);
    EXPECT_EQ(scroller->height(), 490);
    const qreal bottom = scroller->mapToScene(QPointF(0, scroller->height())).y();
    auto versionBottom = [&] { return version->mapToScene(QPointF(0, version->height())).y(); };
    ASSERT_GT(versionBottom(), bottom) << "the content fits; nothing to scroll";

    // The foot says there is more, until the end.
    QQuickItem* more = item(QStringLiteral("moreBelow"));
    ASSERT_TRUE(more && more->isVisible()) << "nothing says the panel scrolls";
    h_->savePng(h_->grab(), QStringLiteral("panel-light-more-below"));

    scrollBy(-2000);
    EXPECT_FALSE(more->isVisible()) << "the hint stays at the end";
    const qreal contentHeight = scroller->property("contentHeight").toReal();
    EXPECT_DOUBLE_EQ(scroller->property("contentY").toReal(), contentHeight - scroller->height());
    EXPECT_LE(versionBottom(), bottom - 16 + 0.5) << "the footer keeps its bottom padding";
}

// --- Symbols --------------------------------------------------------------

TEST(PanelSymbols, EverySymbolTheViewsNameIsAGlyphOfTheSymbolFont)
{
    // Read from the views themselves, so a new or misspelt name is caught.
    static const QRegularExpression named(QStringLiteral(R"re((?:glyph\(|symbol:\s*)"([^"]+)")re"));
    QStringList names;
    QDirIterator files(QStringLiteral(":/qt/qml/Kestrune/Settings"), {QStringLiteral("*.qml")});
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& m : named.globalMatch(text))
            names << m.captured(1);
    }
    names.removeDuplicates();
    EXPECT_GE(names.size(), 11) << names.join(QLatin1Char(',')).toStdString();

    const QFontMetrics font(QFont(QStringLiteral("Material Icons")));
    for (const QString& name : names) {
        const QString glyph = Symbols::glyph(name);
        EXPECT_FALSE(glyph.isEmpty()) << name.toStdString();
        if (!glyph.isEmpty()) {
            EXPECT_TRUE(font.inFontUcs4(glyph.at(0).unicode())) << name.toStdString() << " draws as a box";
        }
    }
}

// --- Legibility -----------------------------------------------------------

// Every text on the panel, captions and hints included, stands out from
// what is behind it by 4.5:1 as rendered (over the wallpaper, through the
// glass), in both appearances; the symbols, which are not read, by 3:1.
class PanelLegibility : public PanelTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PanelLegibility, TextsStandOutFromTheirBackground)
{
    sim_.trust().setTrusted(false); // the permission card's hint as well
    loadPanel(GetParam());
    const QList<QQuickItem*> texts = shownTexts(h_->window()->contentItem());
    ASSERT_GE(texts.size(), 20);
    QStringList shortfalls;
    for (QQuickItem* text : texts) {
        reveal(text);
        layOut();
        if (const QString shortfall = legibilityShortfall(h_->grab(), text); !shortfall.isEmpty())
            shortfalls << shortfall;
    }
    EXPECT_EQ(shortfalls.join(QStringLiteral("; ")).toStdString(), "");
}

INSTANTIATE_TEST_SUITE_P(Appearances, PanelLegibility, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Dark" : "Light"); });
