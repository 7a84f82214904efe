// The panel without a mouse: real Tab, Shift+Tab, Space, Return, Escape and
// arrow keys pressed at the window, as a keyboard user would; the focus
// ring, and the scroll view following the focus. Then the panel as assistive
// technology reads it: every control named, with a role and its state.

#include "PanelFixture.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

using namespace kestrune;
using namespace kestrune::test;

namespace {

// A control's name for these tests: its objectName; the ⓘ buttons, all
// named "info", are told apart by their card.
QString label(QQuickItem* item)
{
    if (!item)
        return QStringLiteral("<none>");
    if (item->objectName() != QLatin1String("info"))
        return item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className()) : item->objectName();
    for (QQuickItem* up = item->parentItem(); up; up = up->parentItem()) {
        if (up->objectName() == QLatin1String("heroCard") || up->objectName().startsWith(QLatin1String("card.")))
            return up->objectName() + QStringLiteral("/info");
    }
    return item->objectName();
}

void collect(QQuickItem* root, QList<QQuickItem*>& into)
{
    const QList<QQuickItem*> children = root->childItems();
    for (QQuickItem* child : children) {
        into << child;
        collect(child, into);
    }
}

// Every control in the panel and its popups that a person could operate.
bool isControl(QQuickItem* item)
{
    return item->activeFocusOnTab() || item->inherits("QQuickAbstractButton") || item->inherits("QQuickComboBox");
}

} // namespace

class PanelKeyboard : public PanelTest {
protected:
    QQuickItem* focused() const { return h_->window()->activeFocusItem(); }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(h_->window(), Qt::Key(key), modifiers);
        runDue();
        layOut();
    }

    // Tabs forward until the control named `name` (see label()) has focus.
    void tabTo(const QString& name)
    {
        for (int i = 0; i < 40 && label(focused()) != name; ++i)
            press(Qt::Key_Tab);
        ASSERT_EQ(label(focused()).toStdString(), name.toStdString());
    }

    // The ring as drawn: the accent colour just outside the item's left
    // edge, halfway down (nothing clips it away).
    bool ringDrawn(QQuickItem* target, bool dark = false)
    {
        const QColor shown = pixel(h_->grab(), target->mapToScene(QPointF(-3, target->height() / 2)));
        const QColor blue = dark ? QColor(0x0a, 0x84, 0xff) : QColor(0x00, 0x7a, 0xff);
        return std::abs(shown.red() - blue.red()) + std::abs(shown.green() - blue.green()) +
                   std::abs(shown.blue() - blue.blue()) <
               40;
    }

    // The whole item, ring included, inside the panel's visible area.
    bool inView(QQuickItem* target)
    {
        QQuickItem* scroller = item(QStringLiteral("scroller"));
        const QRectF view = scroller->mapRectToScene(QRectF(0, 0, scroller->width(), scroller->height()));
        const QRectF rect =
            target->mapRectToScene(QRectF(0, 0, target->width(), target->height())).adjusted(-4, -4, 4, 4);
        return view.contains(rect);
    }

    std::vector<QString> everyStop()
    {
        return {QStringLiteral("statusDot"),
                QStringLiteral("ellipsisButton"),
                QStringLiteral("fixButton"),
                QStringLiteral("heroCard"),
                QStringLiteral("longPressPicker"),
                QStringLiteral("heroCard/info"),
                QStringLiteral("singlePressPicker"),
                QStringLiteral("card.arrowMode"),
                QStringLiteral("arrowLayoutPicker"),
                QStringLiteral("card.arrowMode/info"),
                QStringLiteral("card.doubleTap"),
                QStringLiteral("card.doubleTap/info"),
                QStringLiteral("card.cmdKeys"),
                QStringLiteral("cmdKeysPicker"),
                QStringLiteral("card.cmdKeys/info"),
                QStringLiteral("card.launchAtLogin"),
                QStringLiteral("card.launchAtLogin/info"),
                QStringLiteral("card.appLauncher"),
                QStringLiteral("launcherSettingsButton"),
                QStringLiteral("card.appLauncher/info"),
                QStringLiteral("card.exclusions"),
                QStringLiteral("exclusionSettingsButton"),
                QStringLiteral("card.exclusions/info"),
                QStringLiteral("clearLogButton")};
    }
};

// Untrusted and in debug mode, so "Fix" and "Clear Log" are there too.
TEST_F(PanelKeyboard, TabReachesEveryControlInReadingOrderWithItsRingInView)
{
    sim_.trust().setTrusted(false);
    remapper_.setIsDebugEnabled(true);
    loadPanel();
    const std::vector<QString> stops = everyStop();

    for (const QString& expected : stops) {
        press(Qt::Key_Tab);
        SCOPED_TRACE(expected.toStdString());
        ASSERT_EQ(label(focused()).toStdString(), expected.toStdString());
        EXPECT_TRUE(focusRingShown(focused()));
        EXPECT_TRUE(inView(focused())) << "the panel did not scroll to the focused control";
        EXPECT_TRUE(ringDrawn(focused()));
    }
    EXPECT_GT(item(QStringLiteral("scroller"))->property("contentY").toReal(), 0);

    // Round again from the top, and back with Shift+Tab.
    press(Qt::Key_Tab);
    EXPECT_EQ(label(focused()), stops.front());
    EXPECT_TRUE(inView(focused()));
    for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        SCOPED_TRACE(it->toStdString());
        ASSERT_EQ(label(focused()).toStdString(), it->toStdString());
        EXPECT_TRUE(focusRingShown(focused()));
        EXPECT_TRUE(inView(focused()));
    }
}

TEST_F(PanelKeyboard, EachOpeningStartsWithNothingFocused)
{
    loadPanel();
    tabTo(QStringLiteral("card.doubleTap"));
    QMetaObject::invokeMethod(view(), "panelShown");
    runDue();
    EXPECT_EQ(focused(), view());
    EXPECT_FALSE(focusRingShown(item(QStringLiteral("card.doubleTap"))));
    press(Qt::Key_Tab);
    EXPECT_EQ(label(focused()), QStringLiteral("statusDot"));
}

TEST_F(PanelKeyboard, TheRingShowsOnlyForFocusFromTheKeyboard)
{
    loadPanel();
    QQuickItem* ellipsis = item(QStringLiteral("ellipsisButton"));
    QQuickItem* picker = item(QStringLiteral("longPressPicker"));

    click(ellipsis);
    EXPECT_FALSE(focusRingShown(ellipsis));
    pressEscape();
    click(picker);
    EXPECT_FALSE(focusRingShown(picker));
    pressEscape();
    // A card flipped by a click takes no focus, so shows no ring.
    clickCard(QStringLiteral("card.doubleTap"));
    EXPECT_FALSE(item(QStringLiteral("card.doubleTap"))->hasActiveFocus());
    EXPECT_FALSE(focusRingShown(item(QStringLiteral("card.doubleTap"))));

    // From the clicked picker, Tab moves on with the ring.
    press(Qt::Key_Tab);
    EXPECT_EQ(label(focused()), QStringLiteral("heroCard/info"));
    EXPECT_TRUE(focusRingShown(focused()));
    EXPECT_FALSE(focusRingShown(picker));
}

TEST_F(PanelKeyboard, SpaceAndReturnOperateCardsDotButtonsAndPickers)
{
    sim_.trust().setTrusted(false);
    loadPanel();

    tabTo(QStringLiteral("statusDot"));
    press(Qt::Key_Space);
    EXPECT_FALSE(remapper_.isEnabled());
    press(Qt::Key_Return);
    EXPECT_TRUE(remapper_.isEnabled());

    tabTo(QStringLiteral("fixButton"));
    press(Qt::Key_Space);
    EXPECT_EQ(sim_.trust().promptCount(), 1);
    press(Qt::Key_Return);
    EXPECT_EQ(sim_.trust().promptCount(), 2);

    // The hero card turns both halves on or off, as its click does.
    tabTo(QStringLiteral("heroCard"));
    press(Qt::Key_Space);
    EXPECT_FALSE(remapper_.isHyperKeyEnabled());
    EXPECT_FALSE(remapper_.isSinglePressEnabled());
    press(Qt::Key_Return);
    EXPECT_TRUE(remapper_.isHyperKeyEnabled());
    EXPECT_TRUE(remapper_.isSinglePressEnabled());

    // A picker opens on Space, moves with the arrows and chooses on Return;
    // focus and its ring stay on the picker.
    tabTo(QStringLiteral("singlePressPicker"));
    QObject* list = focused()->property("popup").value<QObject*>();
    const int before = int(remapper_.singlePressConfig());
    press(Qt::Key_Space);
    ASSERT_TRUE(list->property("visible").toBool());
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_FALSE(list->property("visible").toBool());
    EXPECT_EQ(int(remapper_.singlePressConfig()), before + 1);
    EXPECT_EQ(label(focused()), QStringLiteral("singlePressPicker"));
    EXPECT_TRUE(focusRingShown(focused()));
    press(Qt::Key_Return);
    EXPECT_TRUE(list->property("visible").toBool()) << "Return opens a closed picker";
    press(Qt::Key_Escape);
    EXPECT_FALSE(list->property("visible").toBool());

    tabTo(QStringLiteral("card.doubleTap"));
    const bool doubleTap = remapper_.isCapsLockDoubleTapEnabled();
    press(Qt::Key_Space);
    EXPECT_EQ(remapper_.isCapsLockDoubleTapEnabled(), !doubleTap);
    press(Qt::Key_Return);
    EXPECT_EQ(remapper_.isCapsLockDoubleTapEnabled(), doubleTap);

    QSignalSpy launcherSettings(view(), SIGNAL(launcherSettingsRequested()));
    const bool launcherOn = launcher_.isEnabled();
    tabTo(QStringLiteral("launcherSettingsButton"));
    press(Qt::Key_Space);
    press(Qt::Key_Return);
    EXPECT_EQ(launcherSettings.count(), 2);
    EXPECT_EQ(launcher_.isEnabled(), launcherOn) << "the button flipped its card";
}

TEST_F(PanelKeyboard, TheMenuOpensChoosesAndGivesFocusBack)
{
    loadPanel();
    QObject* hud = stub("hudStub");
    QQuickItem* hudItem = item(QStringLiteral("showHudItem"));
    ASSERT_TRUE(hud->property("isHUDEnabled").toBool());

    tabTo(QStringLiteral("ellipsisButton"));
    press(Qt::Key_Space);
    ASSERT_TRUE(hudItem->isVisible());
    EXPECT_TRUE(item(QStringLiteral("checkForUpdatesItem"))->property("highlighted").toBool())
        << "the menu opens on its first item";
    press(Qt::Key_Down);
    EXPECT_TRUE(hudItem->property("highlighted").toBool()) << "Down skips the separator";
    press(Qt::Key_Return);
    EXPECT_FALSE(hud->property("isHUDEnabled").toBool());
    EXPECT_FALSE(hudItem->isVisible());
    EXPECT_EQ(label(focused()), QStringLiteral("ellipsisButton"));
    EXPECT_TRUE(focusRingShown(focused()));

    // Escape closes the menu only; the next one closes the panel.
    QSignalSpy closes(view(), SIGNAL(closeRequested()));
    press(Qt::Key_Return);
    ASSERT_TRUE(hudItem->isVisible());
    press(Qt::Key_Escape);
    EXPECT_FALSE(hudItem->isVisible());
    EXPECT_EQ(label(focused()), QStringLiteral("ellipsisButton"));
    EXPECT_EQ(closes.count(), 0);
    press(Qt::Key_Escape);
    EXPECT_EQ(closes.count(), 1);
}

TEST_F(PanelKeyboard, HelpShowsOnFocusAndEscapePutsItAway)
{
    loadPanel();
    QSignalSpy closes(view(), SIGNAL(closeRequested()));
    tabTo(QStringLiteral("card.arrowMode/info"));
    QQuickItem* info = focused();
    EXPECT_TRUE(info->property("popoverVisible").toBool());
    EXPECT_EQ(info->property("popoverText").toString(), QStringLiteral("Vim Mode Help"));

    press(Qt::Key_Escape);
    EXPECT_FALSE(info->property("popoverVisible").toBool());
    EXPECT_EQ(closes.count(), 0) << "Escape closed the panel instead of the help";
    press(Qt::Key_Space);
    EXPECT_TRUE(info->property("popoverVisible").toBool());
    press(Qt::Key_Escape);
    press(Qt::Key_Escape);
    EXPECT_EQ(closes.count(), 1);

    // Shown again on the next visit; gone when focus moves on, to the next
    // card's help only when that one is reached.
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    press(Qt::Key_Tab);
    EXPECT_TRUE(info->property("popoverVisible").toBool());
    press(Qt::Key_Tab);
    EXPECT_FALSE(info->property("popoverVisible").toBool());
}

TEST_F(PanelKeyboard, ArrowKeysMoveBetweenCardsAndTheViewFollows)
{
    loadPanel();
    tabTo(QStringLiteral("heroCard"));
    struct Step {
        int key;
        const char* to;
    };
    const Step steps[] = {
        {Qt::Key_Up, "heroCard"},          {Qt::Key_Left, "heroCard"},           {Qt::Key_Down, "card.arrowMode"},
        {Qt::Key_Right, "card.doubleTap"}, {Qt::Key_Right, "card.doubleTap"},    {Qt::Key_Down, "card.launchAtLogin"},
        {Qt::Key_Left, "card.cmdKeys"},    {Qt::Key_Left, "card.cmdKeys"},       {Qt::Key_Down, "card.appLauncher"},
        {Qt::Key_Down, "card.appLauncher"}, {Qt::Key_Right, "card.exclusions"},  {Qt::Key_Up, "card.launchAtLogin"},
        {Qt::Key_Up, "card.doubleTap"},    {Qt::Key_Up, "heroCard"},
    };
    const auto before = std::make_tuple(remapper_.isVimModeEnabled(), remapper_.isCapsLockDoubleTapEnabled(),
                                        remapper_.isCmdEisuKanaEnabled(), launcher_.isEnabled(), exclusions_.isEnabled());
    for (const Step& step : steps) {
        press(step.key);
        SCOPED_TRACE(step.to);
        ASSERT_EQ(label(focused()).toStdString(), std::string(step.to));
        EXPECT_TRUE(focusRingShown(focused()));
        EXPECT_TRUE(inView(focused()));
    }
    EXPECT_EQ(before, std::make_tuple(remapper_.isVimModeEnabled(), remapper_.isCapsLockDoubleTapEnabled(),
                                      remapper_.isCmdEisuKanaEnabled(), launcher_.isEnabled(), exclusions_.isEnabled()))
        << "moving flipped a card";

    // In a picker the arrows are the picker's: focus stays.
    tabTo(QStringLiteral("arrowLayoutPicker"));
    press(Qt::Key_Left);
    press(Qt::Key_Right);
    EXPECT_EQ(label(focused()), QStringLiteral("arrowLayoutPicker"));
}

// --- Assistive technology ---------------------------------------------------

// What the panel publishes through QAccessible, the interface a screen
// reader's bridge reads. No bridge runs on the offscreen platform, so this is
// what the views declare; with a screen reader running Qt fills in names a
// view left empty, but never replaces one it gave.
class PanelAccessibility : public PanelKeyboard {
protected:
    QAccessibleInterface* accessible(QQuickItem* item)
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(item);
        EXPECT_TRUE(iface) << label(item).toStdString();
        return iface;
    }
};

TEST_F(PanelAccessibility, EveryControlHasANameAndARole)
{
    sim_.trust().setTrusted(false);
    remapper_.setIsDebugEnabled(true);
    loadPanel();
    // The menu open too, so its items are in the tree.
    click(item(QStringLiteral("ellipsisButton")));

    QList<QQuickItem*> all;
    collect(h_->window()->contentItem(), all);
    int controls = 0;
    for (QQuickItem* control : all) {
        if (!control->isVisible() || !control->isEnabled())
            continue;
        // Anything taking a click is a control, or inside one.
        if (control->inherits("QQuickMouseArea")) {
            QQuickItem* owner = control;
            while (owner && !isControl(owner))
                owner = owner->parentItem();
            EXPECT_TRUE(owner) << "a clickable area outside any control, under " << label(control->parentItem()).toStdString();
            continue;
        }
        if (!isControl(control))
            continue;
        ++controls;
        SCOPED_TRACE(label(control).toStdString());
        QAccessibleInterface* iface = accessible(control);
        if (!iface)
            continue;
        EXPECT_FALSE(iface->text(QAccessible::Name).trimmed().isEmpty());
        EXPECT_NE(iface->role(), QAccessible::NoRole);
        EXPECT_NE(iface->role(), QAccessible::Client);
    }
    // The 24 Tab stops and the menu's four items.
    EXPECT_GE(controls, 28);
}

TEST_F(PanelAccessibility, PickersCardsHelpAndMenuReadAsTheyShow)
{
    loadPanel();
    const std::pair<const char*, QString> pickers[] = {
        {"longPressPicker", QStringLiteral("Long Press")},
        {"singlePressPicker", QStringLiteral("Single Press")},
        {"arrowLayoutPicker", item(QStringLiteral("card.arrowMode"))->property("title").toString()},
        {"cmdKeysPicker", item(QStringLiteral("card.cmdKeys"))->property("title").toString()},
    };
    for (const auto& [name, expected] : pickers) {
        SCOPED_TRACE(name);
        QAccessibleInterface* iface = accessible(item(QString::fromLatin1(name)));
        ASSERT_TRUE(iface);
        EXPECT_EQ(iface->role(), QAccessible::ComboBox);
        EXPECT_EQ(iface->text(QAccessible::Name), expected);
    }
    // Closed, a picker that shows a shortened name gives the whole one.
    EXPECT_EQ(accessible(item(QStringLiteral("cmdKeysPicker")))->text(QAccessible::Description),
              QStringLiteral("Left: Eisu, Right: Kana"));
    EXPECT_EQ(accessible(item(QStringLiteral("singlePressPicker")))->text(QAccessible::Description), QString());

    // A card: its title, a check box checked while on, its help as the
    // description; assistive technology can flip it.
    QQuickItem* card = item(QStringLiteral("card.doubleTap"));
    QAccessibleInterface* iface = accessible(card);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_EQ(iface->text(QAccessible::Name), card->property("title").toString());
    EXPECT_EQ(iface->text(QAccessible::Description), QStringLiteral("Double Tap Help"));
    EXPECT_TRUE(iface->state().checkable);
    const bool was = remapper_.isCapsLockDoubleTapEnabled();
    EXPECT_EQ(bool(iface->state().checked), was);
    ASSERT_TRUE(iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    runDue();
    EXPECT_EQ(remapper_.isCapsLockDoubleTapEnabled(), !was);
    EXPECT_EQ(bool(iface->state().checked), !was);

    QAccessibleInterface* hero = accessible(item(QStringLiteral("heroCard")));
    ASSERT_TRUE(hero);
    EXPECT_EQ(hero->text(QAccessible::Name), QStringLiteral("Hyper Key"));
    EXPECT_TRUE(hero->state().checked);

    QQuickItem* info = item(QStringLiteral("card.arrowMode"))->findChild<QQuickItem*>(QStringLiteral("info"));
    QAccessibleInterface* help = accessible(info);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->role(), QAccessible::Button);
    EXPECT_EQ(help->text(QAccessible::Name), QStringLiteral("About Arrow Mode"));
    EXPECT_EQ(help->text(QAccessible::Description), QStringLiteral("Vim Mode Help"));

    QQuickItem* dot = item(QStringLiteral("statusDot"));
    QAccessibleInterface* dotIface = accessible(dot);
    ASSERT_TRUE(dotIface);
    EXPECT_EQ(dotIface->role(), QAccessible::Button);
    // Named by its action; the state it reports follows as the description.
    const QString dotName = dotIface->text(QAccessible::Name);
    EXPECT_TRUE(dotName == QStringLiteral("Pause Kestrune") || dotName == QStringLiteral("Resume Kestrune")) << qPrintable(dotName);
    const QString dotState = dot->property("toolTipText").toString().section(QLatin1Char('\n'), 0, 0);
    EXPECT_FALSE(dotState.isEmpty());
    EXPECT_TRUE(dotIface->text(QAccessible::Description).startsWith(dotState)) << qPrintable(dotIface->text(QAccessible::Description));

    QAccessibleInterface* settings = accessible(item(QStringLiteral("exclusionSettingsButton")));
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->text(QAccessible::Description), item(QStringLiteral("card.exclusions"))->property("title").toString());

    click(item(QStringLiteral("ellipsisButton")));
    QAccessibleInterface* hudItem = accessible(item(QStringLiteral("showHudItem")));
    ASSERT_TRUE(hudItem);
    EXPECT_EQ(hudItem->role(), QAccessible::MenuItem);
    EXPECT_EQ(hudItem->text(QAccessible::Name), QStringLiteral("Show HUD Notifications"));
    EXPECT_TRUE(hudItem->state().checkable);
    EXPECT_TRUE(hudItem->state().checked);
}

// --- Screenshots --------------------------------------------------------------

TEST_F(PanelKeyboard, ScreenshotFocusRing)
{
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        loadPanel(dark);
        QQuickItem* card = item(QStringLiteral("card.cmdKeys"));
        tabTo(QStringLiteral("card.cmdKeys"));
        h_->savePng(h_->grab(), dark ? QStringLiteral("panel-dark-focus-ring") : QStringLiteral("panel-light-focus-ring"));
        EXPECT_TRUE(ringDrawn(card, dark));
        EXPECT_FALSE(ringDrawn(item(QStringLiteral("card.launchAtLogin")), dark));

        // The help of a focused ⓘ, shown without a mouse.
        tabTo(QStringLiteral("card.cmdKeys/info"));
        h_->savePng(h_->grab(), dark ? QStringLiteral("panel-dark-focus-help") : QStringLiteral("panel-light-focus-help"));
    }

    // The status dot: its ring, and its tooltip shown while focused; the
    // panel back at its very top.
    tabTo(QStringLiteral("statusDot"));
    EXPECT_EQ(item(QStringLiteral("scroller"))->property("contentY").toReal(), 0);
    const QString tip = focused()->property("toolTipText").toString();
    EXPECT_TRUE(h_->waitUntil([&] {
        QList<QQuickItem*> all;
        collect(h_->window()->contentItem(), all);
        return std::any_of(all.begin(), all.end(), [&](QQuickItem* text) {
            return text->isVisible() && text->inherits("QQuickText") && text->property("text").toString() == tip;
        });
    })) << "no tooltip";
    h_->savePng(h_->grab(), QStringLiteral("panel-dark-focus-dot"));
}
