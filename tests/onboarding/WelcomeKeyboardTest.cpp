// The welcome guide without a mouse: Tab reaches its buttons with the focus
// ring, Return presses the focused one, and Next stays reachable.

#include "OnboardingFixture.h"
#include "support/ViewHarness.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <linux/input-event-codes.h>

using namespace kestrune;
using namespace kestrune::test;
using namespace std::chrono_literals;

TEST_F(OnboardingTest, WelcomeButtonsFromTheKeyboard)
{
    build();
    windows_->showWelcomeWindow();
    d_.setWindow(welcomeWindow());
    ASSERT_TRUE(d_.window());
    advance(0ms);
    auto focused = [&] { return d_.window()->activeFocusItem(); };
    auto step = [&] {
        for (int i = 0; i < 3; ++i)
            if (d_.find(QStringLiteral("stepDot.%1").arg(i))->property("color").value<QColor>() == QColor(0x00, 0x7a, 0xff))
                return i;
        return -1;
    };
    // What a screen reader hears of the step dots.
    auto stepSpoken = [&] {
        QAccessibleInterface* dots = QAccessible::queryAccessibleInterface(d_.find(QStringLiteral("stepDots")));
        return dots ? dots->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(stepSpoken(), QStringLiteral("Step 1 of 3"));

    // Page 0 without pkexec: Copy, then Next.
    QQuickItem* copy = d_.find(QStringLiteral("copyCommandButton"));
    QQuickItem* next = d_.find(QStringLiteral("nextButton"));
    ASSERT_TRUE(copy && next);
    d_.key(Qt::Key_Tab, KEY_TAB, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_EQ(focused(), copy);
    EXPECT_TRUE(focusRingShown(copy));
    d_.save(QStringLiteral("welcome-0-focus-ring-light-en"));

    // Return presses Copy; it does not turn the page.
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), d_.find(QStringLiteral("accessCommand"))->property("command").toString());
    EXPECT_EQ(step(), 0);

    d_.key(Qt::Key_Tab, KEY_TAB, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_EQ(focused(), next);
    EXPECT_TRUE(focusRingShown(next));
    EXPECT_FALSE(focusRingShown(copy));
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(step(), 1);
    EXPECT_EQ(stepSpoken(), QStringLiteral("Step 2 of 3"));
}
