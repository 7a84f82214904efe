// The panel's two "Settings..." buttons open their editors, as the
// application wires them; opening one again only brings it forward.

#include "OnboardingFixture.h"

#include "exclusions/AppExclusionWindowController.h"
#include "launcher/AppLauncherWindowController.h"

#include <QGuiApplication>
#include <QQuickView>
#include <QWindow>

using namespace kestrune;
using namespace kestrune::test;

namespace {
QQuickWindow* panelWindow()
{
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (auto* quick = qobject_cast<QQuickWindow*>(window); quick && quick->isVisible() && quick->title() == QStringLiteral("Kestrune"))
            return quick;
    return nullptr;
}
} // namespace

TEST_F(OnboardingTest, SettingsButtonsOpenTheEditors)
{
    build();
    for (const auto& [button, name] : {std::pair{"launcherSettingsButton", "launcher"},
                                       std::pair{"exclusionSettingsButton", "exclusions"}}) {
        panel_->showAt(QRect());
        d_.setWindow(panelWindow());
        ASSERT_TRUE(d_.window());
        QQuickItem* control = d_.find(QString::fromLatin1(button));
        ASSERT_TRUE(control);
        // Scrolled into view as a person would, then clicked.
        QQuickItem* scroller = d_.find(QStringLiteral("scroller"));
        d_.settle();
        const qreal bottom = control->mapToItem(scroller, QPointF(0, control->height())).y();
        if (bottom > scroller->height())
            scroller->setProperty("contentY", scroller->property("contentY").toReal() + bottom - scroller->height() + 8);
        d_.click(control);

        QuickWindowController* editor = QLatin1String(name) == QLatin1String("launcher")
                                            ? static_cast<QuickWindowController*>(AppLauncherWindowController::shared())
                                            : AppExclusionWindowController::shared();
        ASSERT_TRUE(editor->isVisible()) << name;
        QQuickView* first = editor->window();
        editor->showWindow();
        EXPECT_EQ(editor->window(), first) << name;
        editor->close();
    }
}
