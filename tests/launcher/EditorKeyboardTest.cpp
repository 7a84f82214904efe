// Both editors without a mouse: Tab walks the buttons with the focus ring,
// Return presses the focused button (rather than acting as the window's
// default), and each row's delete button says which application it removes.

#include "EditorFixture.h"
#include "support/ViewHarness.h"

#include <QAccessible>
#include <linux/input-event-codes.h>

using namespace kestrune;
using namespace kestrune::test;

namespace {

QString accessibleName(QQuickItem* item)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(item);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class EditorKeyboard : public EditorTest {
protected:
    QQuickItem* focused() const { return d_.window()->activeFocusItem(); }
    void tab() { d_.key(Qt::Key_Tab, KEY_TAB, Qt::NoModifier, QStringLiteral("\t")); }
    void enter() { d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r")); }
    // Tabs until the focused control is `target`; false if it never is.
    bool tabTo(QQuickItem* target)
    {
        for (int i = 0; i < 10 && focused() != target; ++i)
            tab();
        return focused() == target;
    }
};

TEST_F(EditorKeyboard, ExclusionsAddAndDeleteFromTheKeyboard)
{
    openExclusions();
    QQuickItem* add = item(QStringLiteral("addApplicationButton"));
    ASSERT_TRUE(tabTo(add));
    EXPECT_TRUE(focusRingShown(add));
    // Return on the focused button opens the chooser; the window stays.
    enter();
    ASSERT_TRUE(isShown(QStringLiteral("appChooser")));
    EXPECT_TRUE(exclusionWindow_->isVisible());
    search(QStringLiteral("editor"));
    enter();
    ASSERT_EQ(exclusions_.excludedApps().size(), 1);

    // Done, the row's delete button, Add Application, each with its ring.
    QQuickItem* done = item(QStringLiteral("doneButton"));
    QQuickItem* remove = item(QStringLiteral("exclusionRow.0"))->findChild<QQuickItem*>(QStringLiteral("deleteButton"));
    ASSERT_TRUE(remove);
    ASSERT_TRUE(tabTo(done));
    EXPECT_TRUE(focusRingShown(done));
    tab();
    EXPECT_EQ(focused(), remove);
    EXPECT_TRUE(focusRingShown(remove));
    EXPECT_FALSE(focusRingShown(done));
    EXPECT_EQ(accessibleName(remove), QStringLiteral("Delete Example Editor"));
    d_.save(QStringLiteral("exclusions-light-focus-ring"));
    tab();
    EXPECT_EQ(focused(), add);

    ASSERT_TRUE(tabTo(remove));
    enter();
    EXPECT_TRUE(exclusions_.excludedApps().isEmpty());
    EXPECT_TRUE(exclusionWindow_->isVisible());

    ASSERT_TRUE(tabTo(done));
    enter();
    EXPECT_FALSE(exclusionWindow_->isVisible());
}

TEST_F(EditorKeyboard, LauncherAddButtonTakesReturnAndRowsNameTheirApplication)
{
    openLauncher();
    QQuickItem* add = item(QStringLiteral("addApplicationButton"));
    ASSERT_TRUE(tabTo(add));
    enter();
    ASSERT_TRUE(isShown(QStringLiteral("appChooser")));
    EXPECT_TRUE(launcherWindow_->isVisible());
    search(QStringLiteral("kde"));
    enter();
    ASSERT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    d_.key(Qt::Key_B, KEY_B, Qt::NoModifier, QStringLiteral("b"));
    ASSERT_EQ(launcher_.shortcuts().size(), 1);

    QQuickItem* remove = item(QStringLiteral("shortcutRow.0"))->findChild<QQuickItem*>(QStringLiteral("deleteButton"));
    ASSERT_TRUE(remove);
    EXPECT_EQ(accessibleName(remove), QStringLiteral("Delete Kde App"));
    ASSERT_TRUE(tabTo(remove));
    EXPECT_TRUE(focusRingShown(remove));
    enter();
    EXPECT_TRUE(launcher_.shortcuts().isEmpty());
    EXPECT_TRUE(launcherWindow_->isVisible());
}

// The Key Conflict Warning holds the keyboard until answered: Tab stays
// between its two buttons, Return presses the focused one (Cancel first),
// Escape cancels, and nothing behind it (Done, a row's delete) is reached.
TEST_F(EditorKeyboard, TheConflictWarningHoldsTheKeyboard)
{
    remapper_.setIsVimModeEnabled(true);
    remapper_.setVimModeConfig(config::VimModeConfig::vim);
    launcher_.addShortcut(desktopFile(QStringLiteral("fancyterm.desktop")), 17 /* T */);
    openLauncher();
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_H, KEY_H, Qt::NoModifier, QStringLiteral("h"));
    ASSERT_TRUE(isShown(QStringLiteral("conflictAlert")));
    QQuickItem* cancel = item(QStringLiteral("conflictCancelButton"));
    QQuickItem* anyway = item(QStringLiteral("registerAnywayButton"));
    EXPECT_EQ(focused(), cancel);
    for (int i = 0; i < 4; ++i) {
        tab();
        EXPECT_TRUE(focused() == cancel || focused() == anyway) << "Tab left the warning";
    }
    // Space presses the focused Cancel, nothing behind.
    ASSERT_EQ(focused(), cancel);
    d_.key(Qt::Key_Space, KEY_SPACE, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_EQ(launcher_.shortcuts().size(), 1);

    // Return with Cancel focused cancels; the editor stays open.
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_H, KEY_H, Qt::NoModifier, QStringLiteral("h"));
    ASSERT_EQ(focused(), cancel);
    enter();
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_TRUE(launcherWindow_->isVisible()) << "Return closed the editor behind the warning";
    EXPECT_EQ(launcher_.shortcuts().size(), 1);

    // Escape cancels too; Return on Register Anyway binds.
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_H, KEY_H, Qt::NoModifier, QStringLiteral("h"));
    d_.key(Qt::Key_Escape, KEY_ESC, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_EQ(launcher_.shortcuts().size(), 1);
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_H, KEY_H, Qt::NoModifier, QStringLiteral("h"));
    tab();
    EXPECT_EQ(focused(), anyway);
    EXPECT_TRUE(focusRingShown(anyway));
    enter();
    EXPECT_EQ(launcher_.shortcuts().size(), 2);
    EXPECT_TRUE(launcherWindow_->isVisible());
}
