// The pointer at the tray icon: where it goes, that it shows once, never
// takes a click, leaves when a menu or another window opens, and what it
// does where windows cannot be placed. Screenshots in both languages.

#include "OnboardingFixture.h"
#include "support/ViewHarness.h"

#include "app/Translations.h"

#include <QMenu>
#include <QPainter>
#include <QQuickView>
#include <QQuickWindow>

using namespace kestrune;
using namespace kestrune::test;
using namespace std::chrono_literals;

TEST(PointerPlacement, UnderTheIconOrAtTheFallback)
{
    const QRect screen(0, 0, 1280, 800);
    // Unknown icon: 120 points from the right edge, in a 22-point bar.
    PointerPlacement p = MenuBarPointerManager::place(screen, QRect());
    EXPECT_EQ(p.spot, QPoint(1160, 11));
    EXPECT_EQ(p.arrow, QRect(1020, 32, 260, 90));
    EXPECT_TRUE(p.pointsUp);
    EXPECT_EQ(p.overlay, screen);

    // An icon in a top bar: centred under it; near the edge, kept on screen.
    p = MenuBarPointerManager::place(screen, QRect(600, 4, 24, 24));
    EXPECT_EQ(p.spot, QPoint(611, 15));
    EXPECT_EQ(p.arrow, QRect(481, 38, 260, 90));
    p = MenuBarPointerManager::place(screen, QRect(1250, 4, 24, 24));
    EXPECT_EQ(p.arrow.right(), 1279);

    // A bottom panel: the arrow above the icon, pointing down.
    p = MenuBarPointerManager::place(screen, QRect(1000, 770, 24, 24));
    EXPECT_FALSE(p.pointsUp);
    EXPECT_EQ(p.arrow.bottom(), 770 - 10 - 1);

    // A second screen to the right keeps its own coordinates.
    p = MenuBarPointerManager::place(QRect(1280, 0, 1920, 1080), QRect());
    EXPECT_EQ(p.spot, QPoint(1280 + 1920 - 120, 11));
}

TEST_F(OnboardingTest, PointerShowsOnceAndLeavesForMenusAndWindows)
{
    build();
    icon_ = QRect(300, 0, 24, 24);
    pointer().show();
    QQuickView* overlay = pointer().overlayWindow();
    QQuickView* arrow = pointer().arrowWindow();
    ASSERT_TRUE(overlay && arrow);
    pointer().show();
    EXPECT_EQ(pointer().overlayWindow(), overlay);
    EXPECT_EQ(pointer().arrowWindow(), arrow);
    EXPECT_EQ(arrow->geometry(), QRect(181, 34, 260, 90));

    // The tray menu opening sends it away.
    tray_->menu()->popup(QPoint(10, 10));
    tray_->menu()->hide();
    advance(300ms);
    EXPECT_FALSE(pointer().isShown());

    // Another window of ours taking the focus does too; a second hide
    // during the fade changes nothing.
    pointer().show();
    ASSERT_TRUE(pointer().isShown());
    QQuickWindow other;
    other.resize(100, 100);
    other.show();
    other.requestActivate();
    d_.setWindow(&other);
    d_.settle();
    advance(150ms);
    pointer().hide();
    advance(150ms);
    EXPECT_FALSE(pointer().isShown());

    // After hiding, it may be shown again.
    pointer().show();
    EXPECT_TRUE(pointer().isShown());
}

TEST_F(OnboardingTest, PointerWhereWindowsCannotBePlacedOrBlended)
{
    build();
    wayland_ = true;
    pointer().show();
    EXPECT_FALSE(pointer().isShown());
    EXPECT_EQ(notices_, QStringList{QStringLiteral("Kestrune is in the system tray: click its icon to open its settings.")});

    // No compositor: the arrow alone, on a solid background.
    wayland_ = false;
    blend_ = false;
    pointer().show();
    EXPECT_FALSE(pointer().overlayWindow());
    ASSERT_TRUE(pointer().arrowWindow());
    EXPECT_TRUE(pointer().arrowWindow()->rootObject()->property("solid").toBool());
    // Cut to the arrow and its bubble, not a box over the desktop.
    const QRegion shape = pointer().arrowWindow()->mask();
    EXPECT_FALSE(shape.isEmpty());
    EXPECT_FALSE(shape.contains(QPoint(2, 2))) << "a corner of the box shows";

    // It goes by itself after a few seconds.
    advance(MenuBarPointerManager::kShownFor);
    advance(MenuBarPointerManager::kFadeOut);
    EXPECT_FALSE(pointer().isShown());
}

// What a person sees, composed as a compositor would: the product's two
// views at the places the manager gave its windows, over a wallpaper with a
// top bar.
TEST_F(OnboardingTest, PointerScreenshots)
{
    build();
    for (const char* language : {"en", "ja"}) {
        Translations translations;
        translations.install(QLocale(QString::fromLatin1(language)));
        pointer().show();
        ASSERT_TRUE(pointer().isShown());
        QQuickView* overlay = pointer().overlayWindow();
        QQuickView* arrow = pointer().arrowWindow();
        const QString caption =
            arrow->rootObject()->findChild<QQuickItem*>(QStringLiteral("caption"))->property("text").toString();
        EXPECT_EQ(caption, QLatin1String(language) == QLatin1String("ja")
                               ? Translations::keepJapanesePhrases(QStringLiteral("Kestrune はここにあります — クリックで設定を開きます"))
                               : QStringLiteral("Kestrune lives here — click to open its settings"));
        const QPointF spot = overlay->rootObject()->property("spot").toPointF();
        const QPoint at = arrow->position() - overlay->position();

        ViewHarness screen;
        screen.engine().addImportPath(QStringLiteral("qrc:/qt/qml"));
        QObject* root = screen.load(QStringLiteral(R"(
import QtQuick
import Kestrune.Onboarding
Item {
    width: %1; height: %2
    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: "#6a8dff" }
            GradientStop { position: 1; color: "#ffd27a" }
        }
    }
    Rectangle { width: parent.width; height: 22; color: "#f2f2f2" }
    Rectangle { x: %3 - 8; y: 3; width: 16; height: 16; radius: 3; color: "#333" }
    SpotlightOverlayView { anchors.fill: parent; spot: Qt.point(%3, %4); shown: true }
    PointerArrowView { x: %5; y: %6; caption: "%7"; shown: true }
}
)")
                                          .arg(overlay->width())
                                          .arg(overlay->height())
                                          .arg(spot.x())
                                          .arg(spot.y())
                                          .arg(at.x())
                                          .arg(at.y())
                                          .arg(caption));
        ASSERT_TRUE(root) << screen.error().toStdString();
        const QImage image = screen.grab();
        screen.savePng(image, QStringLiteral("pointer-") + QLatin1String(language));

        // The bar stays bright under the spot and is dimmed away from it.
        const QColor atSpot = pixel(image, QPointF(spot.x() + 12, 2));
        const QColor farAway = pixel(image, QPointF(20, 2));
        EXPECT_GT(atSpot.lightnessF(), farAway.lightnessF() + 0.1);
        EXPECT_LT(farAway.lightnessF(), 0.65);
        pointer().hide();
        advance(300ms);
    }
}
