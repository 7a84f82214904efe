// What the panel says about Kestrune's own state: the status dot's three
// states with their reasons, the notices of a tap that cannot be made and of
// a settings file that cannot be saved or read, "Reset Keys" answering, and
// the panel opening at the top. Each state is saved as a screenshot.

#include "PanelFixture.h"
#include "app/Translations.h"
#include "base/KeyNames.h"
#include "base/QSettingsDefaults.h"
#include "settings/SettingsFileStatus.h"
#include "support/AsOrdinaryUser.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrune;
using namespace kestrune::test;

namespace {

// Green, orange and red in the light and the dark appearance.
const QColor kGreen(0x28, 0xcd, 0x41), kOrange(0xff, 0x95, 0x00), kRed(0xff, 0x3b, 0x30);
const QColor kDarkGreen(0x32, 0xd7, 0x4b), kDarkOrange(0xff, 0x9f, 0x0a), kDarkRed(0xff, 0x45, 0x3a);

class PanelStatus : public PanelTest {
protected:
    QQuickItem* dot() { return item(QStringLiteral("statusDot")); }
    QColor dotColour() { return pixel(h_->grab(), dot()->mapToScene(QPointF(4, 4))); }
    QString tip() { return dot()->property("toolTipText").toString(); }
    // The dot hovered until its tooltip shows, saved, and left.
    void saveWithTip(const QString& name)
    {
        h_->hoverAway(); // the pointer may rest on the dot already: it must enter
        hover(dot());
        EXPECT_TRUE(h_->waitUntil([&] { return tooltipShown(); })) << name.toStdString();
        h_->savePng(h_->grab(), name);
        h_->hoverAway();
    }
    // The dot's ToolTip (a popup, not an item) is open.
    bool tooltipShown()
    {
        for (QObject* o : dot()->findChildren<QObject*>()) {
            if (o->inherits("QQuickToolTip") && o->property("opened").toBool())
                return true;
        }
        return false;
    }
    void useSettingsFile(UserDefaults& defaults)
    {
        fileStatus_ = std::make_unique<SettingsFileStatus>(defaults);
        view()->setProperty("settingsFile", QVariant::fromValue<QObject*>(fileStatus_.get()));
        h_->settle();
    }
    QString noticeText(const QString& notice, const char* part)
    {
        QQuickItem* card = item(notice);
        QQuickItem* text = card ? card->findChild<QQuickItem*>(QLatin1String(part)) : nullptr;
        return text ? text->property("text").toString() : QString();
    }

    // A store of the test's own, made before the status that observes it.
    QTemporaryDir otherDir_;
    std::unique_ptr<FileDefaults> otherStore_;
    std::unique_ptr<QSettings> macSettings_;
    std::unique_ptr<QSettingsDefaults> macStore_;
    std::unique_ptr<SettingsFileStatus> fileStatus_;
};

TEST_F(PanelStatus, WorkingPausedAndNotWorkingEachShowTheirColourAndReason)
{
    for (bool dark : {false, true}) {
        sim_.trust().setTrusted(true);
        remapper_.setIsEnabled(true);
        remapper_.start();
        loadPanel(dark);
        const QString suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        EXPECT_EQ(dotColour(), dark ? kDarkGreen : kGreen);
        EXPECT_TRUE(tip().startsWith(QStringLiteral("Kestrune is working")));
        if (!dark)
            saveWithTip(QStringLiteral("status-working") + suffix);

        remapper_.setIsEnabled(false);
        runDue();
        EXPECT_EQ(dotColour(), dark ? kDarkOrange : kOrange);
        EXPECT_TRUE(tip().startsWith(QStringLiteral("Kestrune is paused")));
        saveWithTip(QStringLiteral("status-paused") + suffix);

        // Access withdrawn: red, the reason, and the permission card to act on.
        remapper_.setIsEnabled(true);
        runDue();
        remapper_.stop();
        sim_.trust().setTrusted(false);
        remapper_.start();
        runDue();
        EXPECT_EQ(remapper_.status()->reason(), RemapperStatus::NoInputAccess);
        EXPECT_EQ(dotColour(), dark ? kDarkRed : kRed);
        EXPECT_TRUE(tip().contains(QStringLiteral("may not read the keyboard")));
        EXPECT_TRUE(item(QStringLiteral("permissionCard"))->isVisible());
        EXPECT_FALSE(item(QStringLiteral("tapNotice"))->isVisible()) << "the permission card says it already";
        saveWithTip(QStringLiteral("status-not-working") + suffix);
        remapper_.stop();
    }
}

TEST_F(PanelStatus, ATapThatCannotBeMadeIsANoticeWithTheReason)
{
    const QString why = QStringLiteral("The virtual keyboard could not be created through /dev/uinput.");
    sim_.keyboard().setTapFailure(why);
    remapper_.start();
    loadPanel();
    runDue();
    EXPECT_EQ(dotColour(), kRed);
    QQuickItem* notice = item(QStringLiteral("tapNotice"));
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_FALSE(item(QStringLiteral("permissionCard"))->isVisible());
    EXPECT_EQ(noticeText(QStringLiteral("tapNotice"), "noticeTitle"), QStringLiteral("Kestrune is not working"));
    EXPECT_TRUE(noticeText(QStringLiteral("tapNotice"), "noticeDetail").startsWith(why));
    h_->savePng(h_->grab(), QStringLiteral("status-tap-failed-light"));

    sim_.keyboard().setTapFailure({});
    sim_.scheduler().advanceBy(Millis{1000});
    runDue();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(dotColour(), kGreen);
}

TEST_F(PanelStatus, ASettingThatCannotBeSavedIsANoticeUntilASaveSucceeds)
{
    loadPanel();
    useSettingsFile(sim_.defaults());
    QQuickItem* notice = item(QStringLiteral("settingsFileNotice"));
    ASSERT_TRUE(notice);
    EXPECT_FALSE(notice->isVisible());

    // The real settings store, its folder made read-only.
    const QByteArray folder = QFile::encodeName(dir_.path());
    ASSERT_EQ(::chmod(folder.constData(), 0500), 0);
    QQuickItem* card = item(QStringLiteral("card.doubleTap"));
    reveal(card);
    // Its centre: the lift under the pointer scales the card about it.
    auto centre = [card] { return card->mapToScene(QPointF(card->width() / 2, card->height() / 2)); };
    const QPointF cardAt = centre();
    {
        AsOrdinaryUser user;
        clickCard(QStringLiteral("card.doubleTap"));
    }
    EXPECT_TRUE(remapper_.isCapsLockDoubleTapEnabled()) << "the change holds for this run";
    EXPECT_TRUE(notice->isVisible());
    h_->settle();
    EXPECT_EQ(centre(), cardAt) << "the notice moved the card under the pointer";
    EXPECT_GT(notice->mapToScene(QPointF(0, 0)).y(), cardAt.y()) << "the notice floats over the panel's foot";
    h_->savePng(h_->grab(), QStringLiteral("status-settings-not-saved-floating-light"));
    EXPECT_EQ(noticeText(QStringLiteral("settingsFileNotice"), "noticeTitle"),
              QStringLiteral("Settings could not be saved"));
    const QString detail = noticeText(QStringLiteral("settingsFileNotice"), "noticeDetail");
    EXPECT_TRUE(detail.contains(QStringLiteral("can be written"))) << detail.toStdString();
    EXPECT_TRUE(detail.contains(QStringLiteral("Permission denied"))) << detail.toStdString();
    // Opened again, it takes its place at the top.
    QMetaObject::invokeMethod(view(), "panelShown");
    h_->settle();
    EXPECT_LT(notice->mapToScene(QPointF(0, 0)).y(), item(QStringLiteral("heroCard"))->mapToScene(QPointF(0, 0)).y());
    h_->savePng(h_->grab(), QStringLiteral("status-settings-not-saved-light"));

    ASSERT_EQ(::chmod(folder.constData(), 0700), 0);
    clickCard(QStringLiteral("card.doubleTap"));
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(FileDefaults(dir_.path()).boolValue(QStringLiteral("isCapsLockDoubleTapEnabled")), false);
}

TEST_F(PanelStatus, AnUnreadableSettingsFileIsANoticeThatDefaultsAreInUse)
{
    QFile file(otherDir_.path() + QStringLiteral("/settings.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"version\":1,\"values\":{\"isHUDEnabled\":false,");
    file.close();
    otherStore_ = std::make_unique<FileDefaults>(otherDir_.path());
    FileDefaults& damaged = *otherStore_;
    Translations translations; // the English catalogue carries the singular
    ASSERT_EQ(translations.install(QLocale(QStringLiteral("en_GB"))), QStringLiteral("en"));
    loadPanel(true);
    useSettingsFile(damaged);
    QQuickItem* notice = item(QStringLiteral("settingsFileNotice"));
    ASSERT_TRUE(notice && notice->isVisible());
    EXPECT_EQ(noticeText(QStringLiteral("settingsFileNotice"), "noticeTitle"),
              QStringLiteral("Settings file could not be read whole"));
    EXPECT_TRUE(noticeText(QStringLiteral("settingsFileNotice"), "noticeDetail")
                    .startsWith(QStringLiteral("1 of its settings is in use")));
    h_->savePng(h_->grab(), QStringLiteral("status-settings-unreadable-dark"));
    EXPECT_EQ(illegibleTexts(h_->grab(), notice), "");

    damaged.setValue(QStringLiteral("isHUDEnabled"), true); // kept aside, written anew
    h_->settle();
    EXPECT_FALSE(notice->isVisible());
}

// A settings file its owner made read-only is said from the start, and kept.
TEST_F(PanelStatus, AReadOnlySettingsFileIsSaidFromTheStart)
{
    const QString path = otherDir_.path() + QStringLiteral("/settings.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"version":1,"values":{"isHUDEnabled":false}})");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    otherStore_ = std::make_unique<FileDefaults>(otherDir_.path());
    loadPanel();
    useSettingsFile(*otherStore_);
    QQuickItem* notice = item(QStringLiteral("settingsFileNotice"));
    ASSERT_TRUE(notice && notice->isVisible());
    EXPECT_EQ(noticeText(QStringLiteral("settingsFileNotice"), "noticeTitle"), QStringLiteral("Settings are read-only"));
    h_->savePng(h_->grab(), QStringLiteral("status-settings-read-only-light"));
    EXPECT_EQ(illegibleTexts(h_->grab(), notice), "");
}

// A stored list with a broken record reads as empty: the panel names the
// setting, and the first change keeps the old list aside.
TEST_F(PanelStatus, AnUnreadableListIsANoticeNamingItsSetting)
{
    otherStore_ = std::make_unique<FileDefaults>(otherDir_.path());
    const QByteArray broken = R"([{"keyCode":8,"appURL":"file:///Applications/Safari.app"}])";
    otherStore_->setValue(AppLauncherManager::kShortcutsKey, broken);
    AppLauncherManager launcher(*otherStore_, sim_.workspace(), sim_.scheduler(), sim_.console());
    EXPECT_TRUE(launcher.shortcuts().isEmpty());
    loadPanel();
    useSettingsFile(*otherStore_);
    QQuickItem* notice = item(QStringLiteral("settingsFileNotice"));
    ASSERT_TRUE(notice && notice->isVisible());
    EXPECT_EQ(noticeText(QStringLiteral("settingsFileNotice"), "noticeTitle"), QStringLiteral("A setting could not be read"));
    EXPECT_TRUE(noticeText(QStringLiteral("settingsFileNotice"), "noticeDetail").contains(QStringLiteral("\"launcherShortcuts\"")));
    h_->savePng(h_->grab(), QStringLiteral("status-list-unreadable-light"));
    EXPECT_EQ(illegibleTexts(h_->grab(), notice), "");

    launcher.addShortcut(QUrl::fromLocalFile(QStringLiteral("/Applications/TextEdit.app")), 14);
    h_->settle();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(otherStore_->dataValue(QStringLiteral("launcherShortcuts.unreadable")), broken);
}

// The macOS store (a QSettings; here an ini file, the defaults domain being
// macOS's own) tells the panel the same way.
TEST_F(PanelStatus, TheMacStoreFailingToSaveIsTheSameNotice)
{
    ScopedKeyboardConvention mac(KeyboardConvention::macOS);
    const QString folder = otherDir_.path() + QStringLiteral("/Preferences");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(otherDir_.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0); // root's: read-only for the user
    macSettings_ = std::make_unique<QSettings>(folder + QStringLiteral("/com.kestrune.Kestrune.ini"),
                                               QSettings::IniFormat);
    macStore_ = std::make_unique<QSettingsDefaults>(*macSettings_);
    loadPanel();
    useSettingsFile(*macStore_);
    QQuickItem* notice = item(QStringLiteral("settingsFileNotice"));
    ASSERT_TRUE(notice);
    EXPECT_FALSE(notice->isVisible());
    {
        AsOrdinaryUser user;
        macStore_->setValue(QStringLiteral("isHUDEnabled"), false);
        // QSettings also writes once more later, from a posted event; here,
        // not as root after this scope.
        QCoreApplication::sendPostedEvents(macSettings_.get());
    }
    h_->settle();
    ASSERT_TRUE(notice->isVisible());
    EXPECT_EQ(noticeText(QStringLiteral("settingsFileNotice"), "noticeTitle"),
              QStringLiteral("Settings could not be saved"));
    const QString detail = noticeText(QStringLiteral("settingsFileNotice"), "noticeDetail");
    EXPECT_TRUE(detail.contains(QStringLiteral("/Preferences can be written"))) << detail.toStdString();
    scrollBy(2000);
    h_->savePng(h_->grab(), QStringLiteral("status-settings-not-saved-macos"));

    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    {
        AsOrdinaryUser user;
        macStore_->setValue(QStringLiteral("isHUDEnabled"), true);
        QCoreApplication::sendPostedEvents(macSettings_.get());
    }
    h_->settle();
    EXPECT_FALSE(notice->isVisible());
}

TEST_F(PanelStatus, NoticesAndStatusInJapanese)
{
    Translations translations;
    ASSERT_EQ(translations.install(QLocale(QStringLiteral("ja_JP"))), QStringLiteral("ja"));
    sim_.keyboard().setTapFailure(QStringLiteral("The virtual keyboard could not be created through /dev/uinput."));
    remapper_.start();
    loadPanel();
    runDue();
    EXPECT_EQ(noticeText(QStringLiteral("tapNotice"), "noticeTitle"), Translations::keepJapanesePhrases(QStringLiteral("Kestrune は動作していません")));
    EXPECT_TRUE(tip().endsWith(Translations::keepJapanesePhrases(QStringLiteral("Kestrune を一時停止"))));
    saveWithTip(QStringLiteral("status-tap-failed-japanese"));
}

TEST_F(PanelStatus, ResetKeysSaysItRan)
{
    loadPanel();
    QQuickItem* feedback = item(QStringLiteral("resetFeedback"));
    ASSERT_TRUE(feedback);
    EXPECT_FALSE(feedback->isVisible());
    chooseMenuItem(QStringLiteral("resetKeysItem"));
    EXPECT_TRUE(feedback->isVisible());
    h_->savePng(h_->grab(), QStringLiteral("status-reset-keys-light"));
    // Brief: gone again after a few seconds.
    EXPECT_TRUE(h_->waitUntil([&] { return !feedback->isVisible(); }, 5000));
}

TEST_F(PanelStatus, ThePanelOpensAtTheTopEachTime)
{
    loadPanel();
    QQuickItem* scroller = item(QStringLiteral("scroller"));
    scrollBy(-2000);
    ASSERT_GT(scroller->property("contentY").toDouble(), 0);
    QMetaObject::invokeMethod(view(), "panelShown");
    h_->settle();
    EXPECT_EQ(scroller->property("contentY").toDouble(), 0);
}

} // namespace
