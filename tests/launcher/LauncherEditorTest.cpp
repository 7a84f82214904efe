// The App Launcher Settings window as a person uses it: choosing an
// application, pressing its key (real key events with the keyboard's scan
// code), the Arrow Mode question both ways, deleting, and the window
// brought forward or made afresh.

#include "EditorFixture.h"

#include "../linux/DesktopFilesEnvironment.h"

#include "app/Translations.h"
#include "style/Theme.h"
#include "support/AsOrdinaryUser.h"
#include "support/ViewHarness.h"

#include <QFile>
#include <QQuickView>
#include <QTemporaryDir>
#include <linux/input-event-codes.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrune;
using namespace kestrune::test;

namespace {
QStringList names(const QList<LauncherShortcut>& shortcuts)
{
    QStringList list;
    for (const LauncherShortcut& s : shortcuts)
        list << QStringLiteral("%1=%2").arg(s.appName).arg(s.keyCode);
    return list;
}

// The text items under `root`, shown or not, whose text holds `part`.
QList<QQuickItem*> textsHolding(QQuickItem* root, const QString& part)
{
    QList<QQuickItem*> found;
    if (root->inherits("QQuickText") && root->property("text").toString().contains(part))
        found << root;
    for (QQuickItem* child : root->childItems())
        found << textsHolding(child, part);
    return found;
}
} // namespace

TEST_F(EditorTest, AddingABindingByChoosingAnApplicationAndPressingItsKey)
{
    openLauncher();
    EXPECT_TRUE(isShown(QStringLiteral("emptyState")));

    startCapture(QStringLiteral("kde"));
    EXPECT_TRUE(d_.window()->contentItem()->findChild<QQuickItem*>(QStringLiteral("keyCapture"))->hasActiveFocus());
    // Shift alone is not a key to bind; the capture waits on.
    d_.key(Qt::Key_Shift, KEY_LEFTSHIFT, Qt::ShiftModifier);
    EXPECT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    EXPECT_TRUE(launcher_.shortcuts().isEmpty());
    // Control+Shift+B binds B itself.
    d_.key(Qt::Key_B, KEY_B, Qt::ControlModifier | Qt::ShiftModifier, QStringLiteral("\x02"));
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    ASSERT_EQ(names(launcher_.shortcuts()), QStringList{QStringLiteral("org.example.Kde=11")});
    EXPECT_EQ(launcher_.shortcuts().first().appURL, desktopFile(QStringLiteral("org.example.Kde.desktop")));

    // The row: the application's own name, "Hyper Key" + the key's name.
    EXPECT_FALSE(isShown(QStringLiteral("emptyState")));
    QQuickItem* row = item(QStringLiteral("shortcutRow.0"));
    const QStringList texts = textsUnder(row);
    EXPECT_TRUE(texts.contains(QStringLiteral("Kde App"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Hyper Key")));
    EXPECT_EQ(item(QStringLiteral("keyBadge"))->property("text").toString(), QStringLiteral("B"));
    EXPECT_FALSE(isShown(QStringLiteral("conflictMark")));
    d_.save(QStringLiteral("launcher-light-one-row"));

    d_.click(row->findChild<QQuickItem*>(QStringLiteral("deleteButton")));
    EXPECT_TRUE(launcher_.shortcuts().isEmpty());
    EXPECT_TRUE(isShown(QStringLiteral("emptyState")));
}

// Deleting a row acts at once, keeps the list where it was scrolled (the
// next delete button does not jump under the pointer) and can be undone,
// the binding back in its place.
TEST_F(EditorTest, DeletingKeepsThePlaceAndCanBeUndone)
{
    const char* apps[] = {"org.example.Editor", "org.example.Gtk", "org.example.Kde", "fancyterm"};
    for (int i = 0; i < 12; ++i)
        launcher_.addShortcut(desktopFile(QString::fromLatin1(apps[i % 4]) + QStringLiteral(".desktop")), i < 10 ? 18 + i : i);
    const QStringList before = names(launcher_.shortcuts());
    openLauncher();
    QQuickItem* list = item(QStringLiteral("shortcutList"));
    ASSERT_GT(list->property("contentHeight").toDouble(), list->height()) << "the list does not scroll";
    const double bottom = list->property("originY").toDouble() + list->property("contentHeight").toDouble() - list->height();
    list->setProperty("contentY", bottom - 60);
    d_.settle();
    const double scrolled = list->property("contentY").toDouble();
    QQuickItem* row = item(QStringLiteral("shortcutRow.8"));
    ASSERT_TRUE(row && row->isVisible());
    d_.click(row->findChild<QQuickItem*>(QStringLiteral("deleteButton")));
    d_.settle();
    EXPECT_EQ(launcher_.shortcuts().size(), 11);
    EXPECT_NEAR(list->property("contentY").toDouble(), std::min(scrolled, bottom - 60), 60) << "the list jumped";
    EXPECT_GT(list->property("contentY").toDouble(), 0.0) << "the list jumped to the top";
    ASSERT_TRUE(isShown(QStringLiteral("undoBar")));
    d_.save(QStringLiteral("launcher-light-undo"));
    d_.click(item(QStringLiteral("undoButton")));
    EXPECT_EQ(names(launcher_.shortcuts()), before) << "back in its place";
    EXPECT_FALSE(isShown(QStringLiteral("undoBar")));
}

// Bindings made while the App Launcher is off would open nothing: the
// editor says so and turns it on from where the user is.
TEST_F(EditorTest, TheEditorSaysWhenTheLauncherIsOffAndTurnsItOn)
{
    launcher_.setEnabled(false);
    openLauncher();
    ASSERT_TRUE(isShown(QStringLiteral("launcherOffNotice")));
    d_.save(QStringLiteral("launcher-light-off"));
    d_.click(item(QStringLiteral("turnLauncherOnButton")));
    EXPECT_TRUE(launcher_.isEnabled());
    EXPECT_FALSE(isShown(QStringLiteral("launcherOffNotice")));
}

// The binding names the key where it sits, not what the layout types there:
// on a Dvorak layout the key of QWERTY's C types "j", and binds C.
TEST_F(EditorTest, CaptureTakesThePhysicalKeyAndEscapeOnlyCancels)
{
    openLauncher();
    startCapture(QStringLiteral("gtk"));
    d_.key(Qt::Key_J, KEY_C, Qt::NoModifier, QStringLiteral("j"));
    ASSERT_EQ(names(launcher_.shortcuts()), QStringList{QStringLiteral("org.example.Gtk=8")});
    EXPECT_EQ(item(QStringLiteral("keyBadge"))->property("text").toString(), QStringLiteral("C"));

    // Escape cancels, whether it comes with its scan code or without, and is
    // never bound; the media keys have no code and leave a hint.
    startCapture(QStringLiteral("editor"));
    d_.key(Qt::Key_VolumeUp, KEY_VOLUMEUP);
    EXPECT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    EXPECT_TRUE(item(QStringLiteral("keyHint"))->property("text").toString().contains(QStringLiteral("cannot")));
    d_.key(Qt::Key_Escape, KEY_ESC, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    startCapture(QStringLiteral("editor"));
    d_.key(Qt::Key_Escape, 0);
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    // The Cancel button does the same.
    startCapture(QStringLiteral("editor"));
    d_.click(item(QStringLiteral("captureCancel")));
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    EXPECT_EQ(names(launcher_.shortcuts()), QStringList{QStringLiteral("org.example.Gtk=8")});

    // A key another application has is asked about first. "Choose Another
    // Key" listens again; "Replace" moves it, last in the list.
    startCapture(QStringLiteral("fancy"));
    d_.key(Qt::Key_Q, KEY_Q, Qt::NoModifier, QStringLiteral("q"));
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_C, KEY_C, Qt::NoModifier, QStringLiteral("c"));
    ASSERT_TRUE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_EQ(item(QStringLiteral("conflictMessage"))->property("text").toString(),
              QStringLiteral("C already opens Gtk App.\n\nReplace it with Kde App?"));
    d_.save(QStringLiteral("launcher-light-replace-question"));
    d_.click(item(QStringLiteral("conflictCancelButton")));
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    ASSERT_TRUE(isShown(QStringLiteral("keyListeningCard"))) << "listening for another key";
    d_.key(Qt::Key_C, KEY_C, Qt::NoModifier, QStringLiteral("c"));
    d_.click(item(QStringLiteral("registerAnywayButton")));
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    EXPECT_EQ(names(launcher_.shortcuts()),
              (QStringList{QStringLiteral("fancyterm=12"), QStringLiteral("org.example.Kde=8")}));
}

TEST_F(EditorTest, ArrowModeKeysAskFirstAndTheWarningsFollowTheSettings)
{
    remapper_.setIsVimModeEnabled(true);
    remapper_.setVimModeConfig(config::VimModeConfig::vim);
    openLauncher();

    // A is no Arrow Mode key in the vim layout: no question.
    startCapture(QStringLiteral("gtk"));
    d_.key(Qt::Key_A, KEY_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_EQ(launcher_.shortcuts().size(), 1);

    // H is: the question comes over the capture; Cancel registers nothing.
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_H, KEY_H, Qt::NoModifier, QStringLiteral("h"));
    ASSERT_TRUE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    d_.save(QStringLiteral("launcher-light-conflict-alert"));
    EXPECT_EQ(illegibleTexts(d_.grab(), item(QStringLiteral("conflictAlert"))), "");
    d_.click(item(QStringLiteral("conflictCancelButton")));
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    EXPECT_EQ(launcher_.shortcuts().size(), 1);

    // "Register Anyway" stores it, and both warnings show.
    startCapture(QStringLiteral("kde"));
    d_.key(Qt::Key_H, KEY_H, Qt::NoModifier, QStringLiteral("h"));
    d_.click(item(QStringLiteral("registerAnywayButton")));
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    ASSERT_EQ(launcher_.shortcuts().size(), 2);
    EXPECT_EQ(launcher_.shortcuts().last().keyCode, kc::kVK_ANSI_H);
    EXPECT_TRUE(isShown(QStringLiteral("conflictNote")));
    for (QQuickItem* text : item(QStringLiteral("conflictNote"))->childItems())
        EXPECT_FALSE(text->property("text").toString().contains(QChar(0x26A0))) << "the symbol beside it is the one sign";
    EXPECT_EQ(itemsNamed(d_.window()->contentItem(), QStringLiteral("conflictMark")).count(), 2);
    int marks = 0;
    for (QQuickItem* mark : itemsNamed(d_.window()->contentItem(), QStringLiteral("conflictMark")))
        marks += mark->isVisible();
    EXPECT_EQ(marks, 1);
    d_.save(QStringLiteral("launcher-light-conflict-rows"));

    // Arrow Mode off: the warnings go at once; the gamer layout brings
    // them back for A, not H.
    remapper_.setIsVimModeEnabled(false);
    d_.settle();
    EXPECT_FALSE(isShown(QStringLiteral("conflictNote")));
    EXPECT_FALSE(isShown(QStringLiteral("conflictMark")));
    remapper_.setVimModeConfig(config::VimModeConfig::gamer);
    remapper_.setIsVimModeEnabled(true);
    d_.settle();
    EXPECT_TRUE(isShown(QStringLiteral("conflictNote")));
    QQuickItem* firstRow = item(QStringLiteral("shortcutRow.0"));
    EXPECT_TRUE(firstRow->findChild<QQuickItem*>(QStringLiteral("conflictMark"))->isVisible());

    // Escape answers the question with Cancel.
    startCapture(QStringLiteral("fancy"));
    d_.key(Qt::Key_W, KEY_W, Qt::NoModifier, QStringLiteral("w"));
    ASSERT_TRUE(isShown(QStringLiteral("conflictAlert")));
    d_.key(Qt::Key_Escape, KEY_ESC);
    EXPECT_FALSE(isShown(QStringLiteral("conflictAlert")));
    EXPECT_EQ(launcher_.shortcuts().size(), 2);
}

TEST_F(EditorTest, ShowingAgainKeepsTheStateAndAClosedWindowComesBackFresh)
{
    openLauncher();
    QQuickView* first = launcherWindow_->window();
    startCapture(QStringLiteral("kde"));
    launcherWindow_->showWindow();
    EXPECT_EQ(launcherWindow_->window(), first);
    d_.settle();
    EXPECT_TRUE(isShown(QStringLiteral("keyListeningCard")));

    d_.key(Qt::Key_Escape, KEY_ESC);
    // Return is "Done": the window closes.
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(launcherWindow_->isVisible());
    openLauncher();
    EXPECT_TRUE(launcherWindow_->isVisible());
    EXPECT_FALSE(isShown(QStringLiteral("keyListeningCard")));
    d_.click(item(QStringLiteral("doneButton")));
    EXPECT_FALSE(launcherWindow_->isVisible());

    // A change made elsewhere shows at once.
    openLauncher();
    launcher_.addShortcut(desktopFile(QStringLiteral("fancyterm.desktop")), kc::kVK_ANSI_S);
    d_.settle();
    EXPECT_TRUE(textsUnder(item(QStringLiteral("shortcutRow.0"))).contains(QStringLiteral("Fancy Terminal")));
}

TEST_F(EditorTest, ChooserFiltersAsYouTypeAndFollowsTheKeyboard)
{
    openLauncher();
    openChooser();
    QQuickItem* list = item(QStringLiteral("chooserList"));
    // Launchable and shown only: no hidden, NoDisplay, link, Exec-less or
    // uninstalled entries; sorted by name.
    const int all = list->property("count").toInt();
    QStringList shown;
    for (int i = 0; i < all; ++i)
        shown << textsUnder(d_.find(QStringLiteral("chooserRow.%1").arg(i)));
    EXPECT_TRUE(shown.contains(QStringLiteral("Example Editor")));
    EXPECT_FALSE(shown.contains(QStringLiteral("Helper")));
    EXPECT_FALSE(shown.contains(QStringLiteral("Removed")));
    EXPECT_FALSE(shown.contains(QStringLiteral("Link")));
    EXPECT_FALSE(shown.contains(QStringLiteral("Uninstalled")));
    EXPECT_FALSE(shown.contains(QStringLiteral("No Exec")));
    EXPECT_LT(shown.indexOf(QStringLiteral("Example Editor")), shown.indexOf(QStringLiteral("Kde App")));
    d_.save(QStringLiteral("launcher-light-chooser"));

    // Kind and keywords find an application too.
    for (const char* term : {"text edit", "WRITING"}) {
        search(QString::fromUtf8(term));
        ASSERT_EQ(list->property("count").toInt(), 1) << term;
        EXPECT_TRUE(textsUnder(d_.find(QStringLiteral("chooserRow.0"))).contains(QStringLiteral("Example Editor")));
        item(QStringLiteral("chooserSearch"))->setProperty("text", QString());
    }

    search(QStringLiteral("LAUNCH"));
    EXPECT_EQ(list->property("count").toInt(), 2);
    EXPECT_EQ(list->property("currentIndex").toInt(), 0);
    d_.key(Qt::Key_Down, KEY_DOWN);
    d_.key(Qt::Key_Down, KEY_DOWN); // stays on the last
    EXPECT_EQ(list->property("currentIndex").toInt(), 1);
    d_.key(Qt::Key_Up, KEY_UP);
    d_.key(Qt::Key_Down, KEY_DOWN);
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    ASSERT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    EXPECT_TRUE(textsUnder(item(QStringLiteral("keyListeningCard"))).contains(QStringLiteral("Assign a single key for 'Launch Ok'")));
    d_.key(Qt::Key_Escape, KEY_ESC);

    // Nothing matches: nothing to take; Escape leaves the chooser.
    openChooser();
    search(QStringLiteral("zzz"));
    EXPECT_EQ(list->property("count").toInt(), 0);
    EXPECT_FALSE(item(QStringLiteral("chooserAdd"))->isEnabled());
    d_.key(Qt::Key_Up, KEY_UP);
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(item(QStringLiteral("chooserAdd"))->isEnabled());
    EXPECT_TRUE(isShown(QStringLiteral("appChooser"))) << "Return with nothing to take leaves the chooser open";
    d_.key(Qt::Key_Escape, KEY_ESC);
    EXPECT_FALSE(isShown(QStringLiteral("appChooser")));
    EXPECT_TRUE(launcher_.shortcuts().isEmpty());
}

TEST_F(EditorTest, BrowseRefusesWhatCannotBeLaunchedWithItsReason)
{
    openLauncher();
    openChooser();
    const QString root = desktopRoot();
    struct Case {
        QString path;
        QString reason;
    } cases[] = {
        {root + QStringLiteral("/data/applications/link.desktop"), QStringLiteral("is a link or a folder entry")},
        {root + QStringLiteral("/data/applications/removed.desktop"), QStringLiteral("is marked hidden")},
        {root + QStringLiteral("/data/applications/noexec.desktop"), QStringLiteral("names no program")},
        {root + QStringLiteral("/data/applications/uninstalled.desktop"),
         QStringLiteral("runs “/nonexistent/kestrune/programs/not-installed-anywhere/kestrune-example.app”, which is not installed")},
        {root + QStringLiteral("/elsewhere/garbage.desktop"), QStringLiteral("“garbage.desktop” could not be read")},
        {root + QStringLiteral("/bin/tool"), QStringLiteral("“tool” is not a .desktop file")},
        {root + QStringLiteral("/elsewhere/theirs.desktop"), QStringLiteral("“theirs.desktop” belongs to another account")},
        {root + QStringLiteral("/elsewhere/shared.desktop"), QStringLiteral("“shared.desktop” may be changed by other accounts")},
    };
    writeDesktopFile(QStringLiteral("elsewhere/garbage.desktop"), QByteArray("\x01\x02 [not a key file\n=", 20));
    // Launchable, but another account could change them later.
    for (const char* name : {"theirs", "shared"})
        writeDesktopFile(QStringLiteral("elsewhere/%1.desktop").arg(QLatin1String(name)),
                         "[Desktop Entry]\nType=Application\nName=Theirs\nExec=tool\n");
    ASSERT_EQ(::chown(QFile::encodeName(root + QStringLiteral("/elsewhere/theirs.desktop")).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(root + QStringLiteral("/elsewhere/shared.desktop")).constData(), 0664), 0);
    for (const Case& c : cases) {
        browseTo(c.path);
        EXPECT_TRUE(isShown(QStringLiteral("appChooser"))) << c.path.toStdString();
        const QString shown = item(QStringLiteral("chooserProblem"))->property("text").toString();
        EXPECT_TRUE(shown.contains(c.reason)) << shown.toStdString();
        EXPECT_FALSE(shown.contains(u'\n'));
        EXPECT_FALSE(item(QStringLiteral("chooserProblem"))->property("truncated").toBool()) << "shown whole";
    }
    d_.save(QStringLiteral("launcher-light-chooser-refused"));

    // A launchable one outside the menus is taken.
    browseTo(root + QStringLiteral("/elsewhere/Portable.desktop"));
    ASSERT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    d_.key(Qt::Key_P, KEY_P, Qt::NoModifier, QStringLiteral("p"));
    ASSERT_EQ(names(launcher_.shortcuts()), QStringList{QStringLiteral("Portable=35")});
}

// Whose .desktop files are taken, as an ordinary user sees it: the user's
// own and root's, and only while no one else may write them.
TEST(ApplicationCatalog, TakesOnlyFilesNoOtherAccountMayChange)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    constexpr uid_t kUser = 65534; // as AsOrdinaryUser acts
    constexpr uid_t kRoot = 0;
    constexpr uid_t kOther = 1;
    const struct {
        uid_t owner;
        mode_t mode;
        ApplicationProblem problem;
    } cases[] = {
        {kUser, 0644, ApplicationProblem::none},
        {kUser, 0600, ApplicationProblem::none},
        {kRoot, 0644, ApplicationProblem::none},
        {kOther, 0644, ApplicationProblem::notOwnedByUser},
        {kUser, 0664, ApplicationProblem::writableByOthers},
        {kUser, 0646, ApplicationProblem::writableByOthers},
        {kRoot, 0664, ApplicationProblem::writableByOthers},
    };
    GioApplicationCatalog catalog;
    int index = 0;
    for (const auto& c : cases) {
        const QString path = dir.path() + QStringLiteral("/app%1.desktop").arg(index++);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=App\nExec=sh\n");
        file.close();
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);
        AsOrdinaryUser asUser;
        EXPECT_EQ(catalog.check(path, nullptr, nullptr), c.problem) << "owner " << c.owner << ", mode " << std::oct << c.mode;
    }
}

// A .desktop file's Name, and a file's name, are anyone's text: markup in
// them is shown as written, never rendered (an <img> would fetch a remote
// image), in the chooser, the key capture, the refusal and both editors' rows.
TEST_F(EditorTest, ApplicationNamesAreShownAsWritten)
{
    const auto expectPlain = [this](const char* where) {
        d_.settle();
        const QList<QQuickItem*> texts = textsHolding(d_.window()->contentItem(), QStringLiteral("<img "));
        EXPECT_FALSE(texts.isEmpty()) << where << ": the name is not shown";
        for (QQuickItem* text : texts)
            EXPECT_EQ(text->property("textFormat").toInt(), int(Qt::PlainText))
                << where << ": " << text->property("text").toString().toStdString();
    };
    openLauncher();
    openChooser();
    search(QStringLiteral("marked"));
    expectPlain("chooser");
    d_.key(Qt::Key_Return, KEY_ENTER, Qt::NoModifier, QStringLiteral("\r"));
    ASSERT_TRUE(isShown(QStringLiteral("keyListeningCard")));
    expectPlain("key capture");
    d_.key(Qt::Key_M, KEY_M, Qt::NoModifier, QStringLiteral("m"));
    ASSERT_EQ(launcher_.shortcuts().size(), 1);
    expectPlain("launcher row");

    openChooser();
    writeDesktopFile(QStringLiteral("elsewhere/<img src=x.png>.desktop"), "not a key file");
    browseTo(desktopRoot() + QStringLiteral("/elsewhere/<img src=x.png>.desktop"));
    expectPlain("refusal");
    d_.key(Qt::Key_Escape, KEY_ESC);

    exclusions_.addExcludedApp(desktopFile(QStringLiteral("marked-up.desktop")));
    openExclusions();
    expectPlain("exclusion row");
}

// Screenshots for people to look at: both appearances, English and Japanese.
TEST_F(EditorTest, LauncherScreenshots)
{
    launcher_.addShortcut(desktopFile(QStringLiteral("org.example.Editor.desktop")), kc::kVK_ANSI_H);
    launcher_.addShortcut(desktopFile(QStringLiteral("fancyterm.desktop")), 17 /* T */);
    for (const char* language : {"en", "ja"}) {
        Translations translations;
        translations.install(QLocale(QString::fromLatin1(language)));
        for (bool dark : {false, true}) {
            Theme::setSystemPrefersDark(dark);
            const QString suffix = QStringLiteral("%1-%2").arg(dark ? "dark" : "light", QLatin1String(language));
            launcherWindow_->close();
            openLauncher();
            d_.save(QStringLiteral("launcher-") + suffix);
            EXPECT_EQ(d_.illegibleTexts(), "") << "launcher-" << suffix.toStdString();
            EXPECT_EQ(d_.grab().pixelColor(5, 5).lightnessF() < 0.5, dark);
            startCapture(QStringLiteral("kde"));
            d_.save(QStringLiteral("launcher-capture-") + suffix);
            // Behind the modal card the window is dimmed on purpose: the card is what must read.
            EXPECT_EQ(illegibleTexts(d_.grab(), item(QStringLiteral("keyListeningCard"))), "")
                << suffix.toStdString();
            d_.key(Qt::Key_Escape, KEY_ESC);
            openChooser();
            d_.save(QStringLiteral("launcher-chooser-") + suffix);
            EXPECT_EQ(illegibleTexts(d_.grab(), item(QStringLiteral("appChooser"))), "")
                << suffix.toStdString();
            d_.key(Qt::Key_Escape, KEY_ESC);
            if (QLatin1String(language) == QLatin1String("ja")) {
                EXPECT_TRUE(textsUnder(d_.window()->contentItem()).contains(Translations::keepJapanesePhrases(QStringLiteral("アプリを追加"))));
            }
        }
        launcherWindow_->close();
    }
    Theme::setSystemPrefersDark(false);
}
