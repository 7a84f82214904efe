// The App-Specific Exclusions window as a person uses it: adding through
// the chooser, a duplicate changing nothing, deleting, and the list
// following the store whether or not the feature is on.

#include "../launcher/EditorFixture.h"
#include "../linux/DesktopFilesEnvironment.h"

#include "app/Translations.h"
#include "style/Theme.h"

#include <linux/input-event-codes.h>

using namespace kestrune;
using namespace kestrune::test;

TEST_F(EditorTest, ExclusionsAddDeleteAndFollowTheStore)
{
    openExclusions();
    EXPECT_TRUE(isShown(QStringLiteral("emptyState")));

    // Clicked in the list, then "Add".
    openChooser();
    search(QStringLiteral("editor"));
    d_.click(item(QStringLiteral("chooserRow.0")));
    d_.click(item(QStringLiteral("chooserAdd")));
    EXPECT_FALSE(isShown(QStringLiteral("appChooser")));
    ASSERT_EQ(exclusions_.excludedApps().size(), 1);
    EXPECT_EQ(exclusions_.excludedApps().first().bundleID, QStringLiteral("org.example.Editor"));
    const QStringList row = textsUnder(item(QStringLiteral("exclusionRow.0")));
    EXPECT_TRUE(row.contains(QStringLiteral("Example Editor"))) << row.join(u'|').toStdString();
    EXPECT_TRUE(row.contains(QStringLiteral("org.example.Editor")));

    // The same application again (double-clicked this time): unchanged.
    openChooser();
    search(QStringLiteral("editor"));
    d_.doubleClick(item(QStringLiteral("chooserRow.0")));
    EXPECT_EQ(exclusions_.excludedApps().size(), 1);

    // A .desktop file whose path needs escaping in a URL still gives its
    // row the application's own name.
    writeDesktopFile(QStringLiteral("elsewhere/odd #1?.desktop"),
                     "[Desktop Entry]\nType=Application\nName=Odd One\nExec=tool\n");
    exclusions_.addExcludedApp(QUrl::fromLocalFile(desktopRoot() + QStringLiteral("/elsewhere/odd #1?.desktop")));
    d_.settle();
    ASSERT_EQ(exclusions_.excludedApps().size(), 2);
    EXPECT_TRUE(textsUnder(item(QStringLiteral("exclusionRow.1"))).contains(QStringLiteral("Odd One")));
    exclusions_.removeExcludedApp(exclusions_.excludedApps().last().id);

    // The switch does not hide the list; a change made elsewhere shows.
    exclusions_.setEnabled(false);
    exclusions_.addExcludedApp(QUrl(QStringLiteral("org.example.Kde")));
    d_.settle();
    EXPECT_TRUE(isShown(QStringLiteral("exclusionRow.1")));

    d_.click(item(QStringLiteral("exclusionRow.0"))->findChild<QQuickItem*>(QStringLiteral("deleteButton")));
    ASSERT_EQ(exclusions_.excludedApps().size(), 1);
    EXPECT_EQ(exclusions_.excludedApps().first().bundleID, QStringLiteral("org.example.Kde"));
    // Deleting acts at once, and Undo puts it back where it was.
    ASSERT_TRUE(isShown(QStringLiteral("undoBar")));
    EXPECT_EQ(item(QStringLiteral("undoText"))->property("text").toString(), QStringLiteral("Removed Example Editor."));
    d_.click(item(QStringLiteral("undoButton")));
    ASSERT_EQ(exclusions_.excludedApps().size(), 2);
    EXPECT_EQ(exclusions_.excludedApps().first().bundleID, QStringLiteral("org.example.Editor"));
    EXPECT_FALSE(isShown(QStringLiteral("undoBar")));
    d_.click(item(QStringLiteral("exclusionRow.0"))->findChild<QQuickItem*>(QStringLiteral("deleteButton")));
    ASSERT_EQ(exclusions_.excludedApps().size(), 1);

    // Showing it while visible keeps the open chooser; Done closes.
    openChooser();
    exclusionWindow_->showWindow();
    EXPECT_TRUE(isShown(QStringLiteral("appChooser")));
    d_.click(item(QStringLiteral("chooserCancel")));
    d_.click(item(QStringLiteral("doneButton")));
    EXPECT_FALSE(exclusionWindow_->isVisible());
}

TEST_F(EditorTest, ExclusionScreenshots)
{
    openExclusions();
    for (const char* language : {"en", "ja"}) {
        Translations translations;
        translations.install(QLocale(QString::fromLatin1(language)));
        for (bool dark : {false, true}) {
            Theme::setSystemPrefersDark(dark);
            exclusions_.setExcludedApps({});
            exclusionWindow_->close();
            openExclusions();
            const QString suffix = QStringLiteral("%1-%2").arg(dark ? "dark" : "light", QLatin1String(language));
            d_.save(QStringLiteral("exclusions-empty-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "exclusions-empty-" << suffix.toStdString();
            exclusions_.addExcludedApp(desktopFile(QStringLiteral("org.example.Gtk.desktop")));
            exclusions_.addExcludedApp(desktopFile(QStringLiteral("fancyterm.desktop")));
            d_.settle();
            d_.save(QStringLiteral("exclusions-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "exclusions-" << suffix.toStdString();
            EXPECT_EQ(d_.grab().pixelColor(5, 5).lightnessF() < 0.5, dark);
            if (QLatin1String(language) == QLatin1String("ja")) {
                EXPECT_TRUE(textsUnder(d_.window()->contentItem()).contains(Translations::keepJapanesePhrases(QStringLiteral("アプリを追加"))));
            }
        }
    }
    exclusionWindow_->close();
    Theme::setSystemPrefersDark(false);
}
