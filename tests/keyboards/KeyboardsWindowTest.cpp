// The Keyboards window as a person uses it, over the real model and the sim
// roster: what each row says, the switch and Forget clicked and pressed
// from the keyboard, the setting for new keyboards, the notices, a long
// list scrolling to the focused row, and screenshots light, dark and in
// Japanese. Then the tray menu's way in.

#include "app/Translations.h"
#include "app/TrayIcon.h"
#include "keyboards/KeyboardsModel.h"
#include "keyboards/KeyboardsWindowController.h"
#include "platform/sim/SimPlatform.h"
#include "style/Theme.h"
#include "support/ViewHarness.h"
#include "support/WindowDriver.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QQmlEngine>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <memory>

using namespace kestrune;
using namespace kestrune::test;

namespace {

const KeyboardIdentity kBuiltIn{0x11, 0x0001, 0x0001, "AT Translated Set 2 keyboard", "isa0060/serio0/input0"};
const KeyboardIdentity kUsb{0x03, 0x046d, 0xc31c, "Logitech USB Keyboard", "usb-0000:00:14.0-1/input0"};
const KeyboardIdentity kBluetooth{0x05, 0x05ac, 0x0267, "Magic Keyboard", ""};
// Two of the same, nothing to tell them apart.
const KeyboardIdentity kTwin{0x03, 0x04d9, 0x1503, "USB Keyboard", ""};
const KeyboardIdentity kOtherVirtual{0x06, 0x1234, 0x5678, "keyd virtual keyboard", ""};

QString accessibleName(QQuickItem* item)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(item);
    return iface ? iface->text(QAccessible::Name) : QString();
}

class KeyboardsWindowTest : public ::testing::Test {
protected:
    KeyboardsWindowTest() { engine_->addImportPath(QStringLiteral("qrc:/qt/qml")); }
    ~KeyboardsWindowTest() override
    {
        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        engine_.reset();
        Theme::setSystemPrefersDark(false);
    }

    void open()
    {
        window_->showWindow();
        ASSERT_TRUE(window_->error().isEmpty()) << window_->error().toStdString();
        d_.setWindow(window_->window());
        d_.settle();
    }
    QQuickItem* item(const QString& objectName)
    {
        QQuickItem* found = d_.find(objectName);
        EXPECT_TRUE(found) << "no item " << objectName.toStdString();
        return found;
    }
    bool isShown(const QString& objectName) { return d_.findVisible(objectName) != nullptr; }
    QQuickItem* row(int index) { return d_.find(QStringLiteral("keyboardRow.%1").arg(index)); }
    QQuickItem* inRow(int index, const char* objectName)
    {
        QQuickItem* r = row(index);
        QQuickItem* found = r ? r->findChild<QQuickItem*>(QLatin1String(objectName)) : nullptr;
        EXPECT_TRUE(found) << "row " << index << " has no " << objectName;
        return found;
    }
    QString rowText(int index, const char* objectName)
    {
        QQuickItem* text = inRow(index, objectName);
        return text && text->isVisible() ? text->property("text").toString() : QString();
    }
    int rows()
    {
        int n = 0;
        while (row(n))
            ++n;
        return n;
    }
    // Whether the roster now grabs the present keyboard called `name`.
    bool remapped(const std::string& name)
    {
        for (const PresentKeyboard& k : roster_.keyboards())
            if (k.identity.name == name)
                return k.remapped;
        ADD_FAILURE() << name << " is not present";
        return false;
    }
    QQuickItem* focused() const { return d_.window()->activeFocusItem(); }
    void tab() { d_.key(Qt::Key_Tab, KEY_TAB, Qt::NoModifier, QStringLiteral("\t")); }
    void space() { d_.key(Qt::Key_Space, KEY_SPACE, Qt::NoModifier, QStringLiteral(" ")); }
    bool tabTo(QQuickItem* target, int most = 40)
    {
        for (int i = 0; i < most && focused() != target; ++i)
            tab();
        return focused() == target;
    }

    QTemporaryDir dir_;
    SimPlatform sim_{dir_.path()};
    SimKeyboardRoster& roster_ = sim_.keyboards();
    KeyboardsModel model_{sim_.defaults(), roster_};
    std::unique_ptr<QQmlEngine> engine_ = std::make_unique<QQmlEngine>();
    std::unique_ptr<KeyboardsWindowController> window_ = std::make_unique<KeyboardsWindowController>(*engine_, model_);
    WindowDriver d_;
};

TEST_F(KeyboardsWindowTest, EachRowSaysWhatTheKeyboardIs)
{
    roster_.setPresent({kBuiltIn, kUsb, kTwin, kTwin});
    roster_.setPresent({kBuiltIn, kTwin, kTwin, kBluetooth}); // the USB one unplugged
    open();
    EXPECT_EQ(window_->window()->title(), QStringLiteral("Keyboards"));

    struct Row {
        const char* name;
        const char* kind;
        bool sharedNote;
        bool present;
    };
    const Row expected[] = {
        {"AT Translated Set 2 keyboard", "Built-in keyboard", false, true},
        {"USB Keyboard", "USB keyboard", true, true},
        {"USB Keyboard", "USB keyboard", true, true},
        {"Magic Keyboard", "Bluetooth keyboard", false, true},
        {"Logitech USB Keyboard", "USB keyboard, not connected", false, false},
    };
    ASSERT_EQ(rows(), int(std::size(expected)));
    for (int i = 0; i < rows(); ++i) {
        SCOPED_TRACE(i);
        const Row& e = expected[i];
        EXPECT_EQ(rowText(i, "keyboardName"), QString::fromUtf8(e.name));
        EXPECT_EQ(rowText(i, "keyboardKind"), QString::fromUtf8(e.kind));
        EXPECT_EQ(rowText(i, "sharedNote"),
                  e.sharedNote ? QStringLiteral("Shares its choice with an identical keyboard") : QString());
        // Absent: the choice still shows, fixed, and Forget is offered.
        QQuickItem* toggle = inRow(i, "remapSwitch");
        EXPECT_TRUE(toggle->property("checked").toBool());
        EXPECT_EQ(toggle->isEnabled(), e.present);
        EXPECT_EQ(inRow(i, "forgetButton")->isVisible(), !e.present);
        EXPECT_EQ(accessibleName(toggle), QStringLiteral("Remap this keyboard"));
    }
    EXPECT_EQ(accessibleName(inRow(4, "forgetButton")), QStringLiteral("Forget Logitech USB Keyboard"));
}

TEST_F(KeyboardsWindowTest, SwitchAndForgetClicked)
{
    roster_.setPresent({kBuiltIn, kUsb, kBluetooth});
    open();
    ASSERT_TRUE(remapped(kUsb.name));

    d_.click(inRow(1, "remapSwitch"));
    EXPECT_FALSE(remapped(kUsb.name)) << "the roster lets it go";
    EXPECT_TRUE(remapped(kBuiltIn.name));
    EXPECT_FALSE(inRow(1, "remapSwitch")->property("checked").toBool());
    d_.click(inRow(1, "remapSwitch"));
    EXPECT_TRUE(remapped(kUsb.name));
    EXPECT_TRUE(inRow(1, "remapSwitch")->property("checked").toBool());

    // Left alone, then unplugged: the row keeps the choice; a click on the
    // greyed switch changes nothing.
    d_.click(inRow(2, "remapSwitch"));
    roster_.unplug(kBluetooth.name);
    d_.settle();
    ASSERT_EQ(rows(), 3);
    ASSERT_EQ(rowText(2, "keyboardName"), QString::fromStdString(kBluetooth.name));
    d_.click(inRow(2, "remapSwitch"));
    EXPECT_FALSE(inRow(2, "remapSwitch")->property("checked").toBool());
    EXPECT_FALSE(model_.remembered().back().remap);

    d_.click(inRow(2, "forgetButton"));
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(model_.remembered().size(), 2u);
    // Back again, it is a new keyboard: remapped.
    roster_.plug(kBluetooth);
    EXPECT_TRUE(remapped(kBluetooth.name));
}

TEST_F(KeyboardsWindowTest, NewKeyboardsSettingClicked)
{
    roster_.setPresent({kBuiltIn});
    open();
    EXPECT_TRUE(item(QStringLiteral("remapNewButton"))->property("checked").toBool());

    d_.click(item(QStringLiteral("leaveNewAloneButton")));
    EXPECT_FALSE(model_.remapNewKeyboards());
    EXPECT_FALSE(roster_.choices().remapNew);
    EXPECT_FALSE(item(QStringLiteral("remapNewButton"))->property("checked").toBool());
    roster_.plug(kUsb);
    d_.settle();
    EXPECT_FALSE(remapped(kUsb.name));
    EXPECT_FALSE(inRow(1, "remapSwitch")->property("checked").toBool());
    EXPECT_TRUE(remapped(kBuiltIn.name)) << "a keyboard already chosen keeps its choice";

    d_.click(item(QStringLiteral("remapNewButton")));
    EXPECT_TRUE(model_.remapNewKeyboards());
    EXPECT_TRUE(item(QStringLiteral("remapNewButton"))->property("checked").toBool());
    EXPECT_FALSE(item(QStringLiteral("leaveNewAloneButton"))->property("checked").toBool());
}

TEST_F(KeyboardsWindowTest, NoticesFollowTheRoster)
{
    roster_.setPresent({kBuiltIn, kUsb});
    open();
    struct Case {
        const char* what;
        std::vector<KeyboardIdentity> present;
        bool otherVirtual;
        bool listingUnavailable;
        int rows;
    };
    const Case cases[] = {
        {"ordinary keyboards", {kBuiltIn, kUsb}, false, false, 2},
        {"another program's virtual keyboard", {kBuiltIn, kUsb, kOtherVirtual}, true, false, 3},
        {"nothing can be listed", {}, false, true, 3},
        {"back again", {kBuiltIn}, false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        roster_.setPresent(c.present);
        d_.settle();
        EXPECT_EQ(isShown(QStringLiteral("otherVirtualKeyboardNotice")), c.otherVirtual);
        EXPECT_EQ(isShown(QStringLiteral("listingUnavailableNotice")), c.listingUnavailable);
        EXPECT_EQ(rows(), c.rows) << "remembered keyboards stay listed";
    }
    EXPECT_EQ(textsUnder(item(QStringLiteral("otherVirtualKeyboardNotice"))).size(), 0) << "hidden now";
}

TEST_F(KeyboardsWindowTest, KeyboardAloneTogglesForgetsAndScrolls)
{
    std::vector<KeyboardIdentity> many{kBuiltIn};
    for (int i = 1; i <= 14; ++i)
        many.push_back({0x03, 0x1000, static_cast<uint16_t>(i), "Keyboard " + std::to_string(i), ""});
    roster_.setPresent(many);
    roster_.unplug("Keyboard 3");
    open();
    ASSERT_EQ(rows(), 15);

    // Space on a focused switch flips it, with the focus ring showing.
    QQuickItem* first = inRow(0, "remapSwitch");
    ASSERT_TRUE(tabTo(first));
    EXPECT_TRUE(focusRingShown(first));
    space();
    EXPECT_FALSE(remapped(kBuiltIn.name));
    space();
    EXPECT_TRUE(remapped(kBuiltIn.name));

    // The last row, out of sight at first, scrolls into view when Tab
    // reaches it; the absent keyboard's Forget is reached on the way.
    QQuickItem* list = item(QStringLiteral("keyboardList"));
    QQuickItem* last = inRow(13, "remapSwitch");
    const auto inView = [&](QQuickItem* control) {
        const QRectF box = control->mapRectToItem(list, QRectF(0, 0, control->width(), control->height()));
        return box.top() >= 0 && box.bottom() <= list->height();
    };
    EXPECT_FALSE(inView(last));
    ASSERT_TRUE(tabTo(last));
    d_.settle();
    EXPECT_TRUE(inView(last));
    d_.save(QStringLiteral("keyboards-light-scrolled-focus"));

    QQuickItem* forget = inRow(14, "forgetButton");
    ASSERT_TRUE(tabTo(forget));
    EXPECT_TRUE(inView(forget));
    space();
    EXPECT_EQ(rows(), 14);
    EXPECT_TRUE(window_->isVisible());
    // Focus is not lost with the row: Tab goes on from the top.
    tab();
    EXPECT_EQ(focused(), item(QStringLiteral("doneButton")));
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(KeyboardsWindowTest, Screenshots)
{
    roster_.setPresent({kBuiltIn, kUsb, kBluetooth, kTwin, kTwin});
    model_.setRemap(2, false);
    roster_.setPresent({kBuiltIn, kBluetooth, kTwin, kTwin, kOtherVirtual});
    for (const char* language : {"en", "ja"}) {
        Translations translations;
        translations.install(QLocale(QString::fromLatin1(language)));
        for (bool dark : {false, true}) {
            Theme::setSystemPrefersDark(dark);
            window_->close();
            open();
            const QString name = QStringLiteral("keyboards-%1-%2").arg(dark ? "dark" : "light", QLatin1String(language));
            d_.save(name);
            EXPECT_EQ(d_.illegibleTexts(), "") << name.toStdString();
            EXPECT_EQ(d_.grab().pixelColor(5, 5).lightnessF() < 0.5, dark);
            if (QLatin1String(language) == QLatin1String("ja")) {
                EXPECT_EQ(window_->window()->title(), Translations::keepJapanesePhrases(QStringLiteral("キーボード")));
                EXPECT_TRUE(textsUnder(d_.window()->contentItem()).contains(QStringLiteral("Magic Keyboard")));
                EXPECT_FALSE(textsUnder(d_.window()->contentItem()).contains(QStringLiteral("Forget")));
            }
        }
    }
    // Nothing listed: the notice, and the remembered keyboards greyed.
    Translations translations;
    translations.install(QLocale(QStringLiteral("en")));
    Theme::setSystemPrefersDark(false);
    roster_.setPresent({});
    window_->close();
    open();
    d_.save(QStringLiteral("keyboards-light-no-access"));
    EXPECT_EQ(d_.illegibleTexts(), "");
    window_->close();
}

// The tray menu offers "Keyboards…" only where the platform has a roster,
// just before "Reset Keys", as the panel's ⋯ menu does.
TEST(KeyboardsTrayItem, OfferedBeforeResetKeys)
{
    TrayIcon tray(nullptr);
    const auto texts = [&] {
        QStringList list;
        for (QAction* action : tray.menu()->actions())
            if (!action->isSeparator())
                list << action->text();
        return list;
    };
    EXPECT_FALSE(texts().contains(QStringLiteral("Keyboards…")));
    tray.offerKeyboards();
    tray.offerKeyboards();
    const QStringList offered = texts();
    EXPECT_EQ(offered.count(QStringLiteral("Keyboards…")), 1);
    EXPECT_EQ(offered.indexOf(QStringLiteral("Keyboards…")) + 1, offered.indexOf(QStringLiteral("Reset Keys")));

    QSignalSpy requested(&tray, &TrayIcon::keyboardsRequested);
    for (QAction* action : tray.menu()->actions())
        if (action->text() == QStringLiteral("Keyboards…"))
            action->trigger();
    EXPECT_EQ(requested.count(), 1);

    // The word of a new keyboard, clicked, opens the window; another word does not.
    tray.announceNewKeyboard(QStringLiteral("Macro Pad"), true);
    QCoreApplication::processEvents();
    QMetaObject::invokeMethod(&tray, "onMessageClicked");
    EXPECT_EQ(requested.count(), 2);
    tray.showMessage(QStringLiteral("Keys reset."));
    QMetaObject::invokeMethod(&tray, "onMessageClicked");
    EXPECT_EQ(requested.count(), 2);
}

} // namespace
