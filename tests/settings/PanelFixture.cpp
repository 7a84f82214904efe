#include "PanelFixture.h"

#include <QGuiApplication>
#include <QTest>
#include <QWheelEvent>

namespace kestrune::test {

namespace {
// A wallpaper of soft colour bands and stripes, darker for dark mode, so a
// screenshot shows what the panel lets through.
const char* kPanelQml = R"(
import QtQuick
import Kestrune.Style
import Kestrune.Settings

Item {
    id: backdrop
    width: 392
    height: 522

    property bool dark: %1
    property QtObject hudStub: QtObject { property bool isHUDEnabled: true }
    property QtObject loginStub: QtObject { property bool isEnabled: false }
    // What Linux's input-method finder says, for the L/R card's help.
    property QtObject inputMethodStub: QtObject { property string summary: "Eisu and Kana switch fcitx5 with Mozc." }
    property QtObject updaterStub: QtObject {
        property int checks: 0
        function checkForUpdates() { checks += 1 }
    }

    Binding { target: Theme; property: "isDark"; value: backdrop.dark }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: backdrop.dark ? "#1b1f4a" : "#6a8dff" }
            GradientStop { position: 0.5; color: backdrop.dark ? "#4a1f3f" : "#ff8fb1" }
            GradientStop { position: 1; color: backdrop.dark ? "#4a3a12" : "#ffd27a" }
        }
    }
    Repeater {
        model: 14
        Rectangle {
            required property int index
            x: index * 48 - 160
            y: -100
            width: 18
            height: 800
            rotation: 30
            color: backdrop.dark ? "#30ffffff" : "#50ffffff"
        }
    }

    SettingsView {
        objectName: "settingsView"
        x: 16
        y: 16
        launchAtLogin: backdrop.loginStub
        hud: backdrop.hudStub
        updater: backdrop.updaterStub
        inputMethod: backdrop.inputMethodStub
    }
}
)";

QQuickItem* findIn(QQuickItem* root, const QString& name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    if (auto* found = root->findChild<QQuickItem*>(name))
        return found;
    // Popups live in the window's overlay, reached through the item tree.
    const QList<QQuickItem*> children = root->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* found = findIn(child, name))
            return found;
    }
    return nullptr;
}
} // namespace

PanelTest::PanelTest()
{
    PermissionManager::setShared(&permissions_);
    AppExclusionManager::setShared(&exclusions_);
    AppLauncherManager::setShared(&launcher_);
    KeyRemapper::setShared(&remapper_);
}

PanelTest::~PanelTest()
{
    h_.reset();
    remapper_.stop();
    remapper_.waitForTapThreadSettled();
}

void PanelTest::loadPanel(bool dark)
{
    h_ = std::make_unique<ViewHarness>();
    QObject* root = h_->load(QString::fromUtf8(kPanelQml).arg(dark ? "true" : "false"));
    ASSERT_TRUE(root) << h_->error().toStdString();
    root_ = root;
    view_ = h_->find(QStringLiteral("settingsView"));
    ASSERT_TRUE(view_);
    runDue();
}

QQuickItem* PanelTest::maybeItem(const QString& objectName)
{
    if (QQuickItem* found = h_->find(objectName))
        return found;
    return findIn(h_->window()->contentItem(), objectName);
}

QQuickItem* PanelTest::item(const QString& objectName)
{
    QQuickItem* found = maybeItem(objectName);
    EXPECT_TRUE(found) << "no item " << objectName.toStdString();
    return found;
}

QObject* PanelTest::stub(const char* name) const
{
    return root_->property(name).value<QObject*>();
}

void PanelTest::runDue()
{
    remapper_.waitForTapThreadSettled();
    sim_.scheduler().runDue();
    remapper_.waitForTapThreadSettled();
    h_->settle();
}

void PanelTest::layOut()
{
    h_->grab();
}

void PanelTest::reveal(QQuickItem* target)
{
    layOut();
    QQuickItem* scroller = item(QStringLiteral("scroller"));
    if (!scroller || !scroller->isAncestorOf(target))
        return;
    for (int step = 0; step < 40; ++step) {
        const QRectF view = scroller->mapRectToScene(QRectF(0, 0, scroller->width(), scroller->height()));
        const QRectF rect = target->mapRectToScene(QRectF(0, 0, target->width(), target->height()));
        if (rect.top() < view.top())
            scrollBy(40);
        else if (rect.bottom() > view.bottom())
            scrollBy(-40);
        else
            return;
        layOut();
    }
    ADD_FAILURE() << "could not scroll " << target->objectName().toStdString() << " into view";
}

void PanelTest::click(QQuickItem* target)
{
    ASSERT_TRUE(target);
    clickAt(target, QPointF(target->width() / 2, target->height() / 2));
}

void PanelTest::clickAt(QQuickItem* target, QPointF local)
{
    ASSERT_TRUE(target);
    reveal(target);
    h_->clickAt(target, local);
    runDue();
}

void PanelTest::hover(QQuickItem* target)
{
    ASSERT_TRUE(target);
    reveal(target);
    h_->hover(target);
}

void PanelTest::clickCard(const QString& objectName)
{
    QQuickItem* card = item(objectName);
    ASSERT_TRUE(card);
    QQuickItem* toggle = card->findChild<QQuickItem*>(QStringLiteral("switch"));
    ASSERT_TRUE(toggle) << objectName.toStdString() << " has no switch";
    click(toggle);
}

void PanelTest::chooseMenuItem(const QString& objectName)
{
    click(item(QStringLiteral("ellipsisButton")));
    QQuickItem* entry = item(objectName);
    ASSERT_TRUE(entry);
    ASSERT_TRUE(entry->isVisible()) << "the menu did not open";
    click(entry);
}

void PanelTest::pressEscape()
{
    QTest::keyClick(h_->window(), Qt::Key_Escape);
    h_->settle();
}

} // namespace kestrune::test

namespace kestrune::test {

void PanelTest::scrollBy(int pixels)
{
    QQuickItem* scroller = item(QStringLiteral("scroller"));
    ASSERT_TRUE(scroller);
    const QPointF at = scroller->mapToScene(QPointF(scroller->width() / 2, scroller->height() / 2));
    for (Qt::ScrollPhase phase : {Qt::ScrollBegin, Qt::ScrollUpdate, Qt::ScrollEnd}) {
        const QPoint delta(0, phase == Qt::ScrollUpdate ? pixels : 0);
        QWheelEvent event(at, h_->window()->mapToGlobal(at), delta, delta, Qt::NoButton, Qt::NoModifier, phase,
                          false);
        QGuiApplication::sendEvent(h_->window(), &event);
    }
    h_->settle();
}

} // namespace kestrune::test
