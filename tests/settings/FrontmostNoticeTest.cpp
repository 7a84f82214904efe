// The notice under the exclusions card where the desktop does not tell
// which application is in front: shown only then, saying what would help,
// and on GNOME turning the Shell extension on from its button.

#include "PanelFixture.h"

#include <QQuickItem>

namespace kestrune::test {
namespace {

// The sim workspace, but following the frontmost application only once its
// blocker is removed, as the GNOME route does after the extension is on.
class BlockedWorkspace final : public Workspace {
public:
    explicit BlockedWorkspace(Workspace& inner) : inner_(inner) {}

    FrontmostBlocker blocker = FrontmostBlocker::ShellExtensionOff;
    int removals = 0;

    std::optional<QString> frontmostBundleId() const override { return inner_.frontmostBundleId(); }
    int addActivationObserver(ActivationHandler handler) override { return inner_.addActivationObserver(std::move(handler)); }
    int addDeactivationObserver(ActivationHandler handler) override
    {
        return inner_.addDeactivationObserver(std::move(handler));
    }
    void removeObserver(int token) override { inner_.removeObserver(token); }
    std::optional<AppIdentity> applicationAt(const QUrl& url) const override { return inner_.applicationAt(url); }
    void openApplication(const QUrl& url, std::function<void(const QString&)> completion) override
    {
        inner_.openApplication(url, std::move(completion));
    }
    void openUrl(const QUrl& url) override { inner_.openUrl(url); }
    bool canTrackFrontmostApplication() const override { return blocker == FrontmostBlocker::None; }
    FrontmostBlocker frontmostBlocker() const override { return blocker; }
    void removeFrontmostBlocker() override
    {
        ++removals;
        if (blocker == FrontmostBlocker::ShellExtensionOff)
            setBlocker(FrontmostBlocker::None);
    }
    void setTrackingChangedHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    void setBlocker(FrontmostBlocker value)
    {
        blocker = value;
        if (handler_)
            handler_();
    }

private:
    Workspace& inner_;
    std::function<void()> handler_;
};

class FrontmostNotice : public PanelTest {
protected:
    FrontmostNotice() { AppExclusionManager::setShared(&blockedExclusions_); }
    ~FrontmostNotice() override
    {
        h_.reset();
        AppExclusionManager::setShared(&exclusions_);
    }

    bool noticeShown()
    {
        QQuickItem* notice = item(QStringLiteral("frontmostNotice"));
        return notice && notice->isVisible();
    }
    QString advice() { return item(QStringLiteral("frontmostNoticeAdvice"))->property("text").toString(); }

    BlockedWorkspace blocked_{sim_.workspace()};
    AppExclusionManager blockedExclusions_{sim_.defaults(), blocked_, sim_.scheduler()};
};

TEST_F(FrontmostNotice, GnomeWithTheExtensionOffOffersToTurnItOn)
{
    sim_.workspace().setFrontmost(QStringLiteral("com.apple.Terminal"));
    blockedExclusions_.addExcludedApp(QUrl::fromLocalFile(QStringLiteral("/Applications/Utilities/Terminal.app")));
    loadPanel(false);
    ASSERT_TRUE(noticeShown());
    QQuickItem* scroller = item(QStringLiteral("scroller"));
    const QRectF seen = scroller->mapRectToScene(QRectF(0, 0, scroller->width(), scroller->height()));
    QQuickItem* notice = item(QStringLiteral("frontmostNotice"));
    EXPECT_TRUE(seen.contains(notice->mapRectToScene(QRectF(0, 0, notice->width(), notice->height()))))
        << "the notice is out of sight when the panel opens";
    EXPECT_EQ(advice(), QStringLiteral("Turn on Kestrune's GNOME Shell extension."));
    QQuickItem* button = item(QStringLiteral("enableExtensionButton"));
    ASSERT_TRUE(button->isVisible());
    reveal(item(QStringLiteral("frontmostNotice")));
    h_->savePng(h_->grab(), QStringLiteral("panel-light-frontmost-extension-off"));

    click(button);
    EXPECT_EQ(blocked_.removals, 1);
    runDue();
    EXPECT_FALSE(noticeShown()) << "followed now";
}

TEST_F(FrontmostNotice, EachBlockerSaysWhatWouldHelpAndOnlyWhileExclusionsAreOn)
{
    blocked_.blocker = FrontmostBlocker::DesktopUnsupported;
    loadPanel(true);
    ASSERT_TRUE(noticeShown());
    EXPECT_FALSE(item(QStringLiteral("enableExtensionButton"))->isVisible()) << "nothing Kestrune can turn on";
    EXPECT_TRUE(advice().contains(QStringLiteral("sway")));
    reveal(item(QStringLiteral("frontmostNotice")));
    h_->savePng(h_->grab(), QStringLiteral("panel-dark-frontmost-unsupported"));

    blocked_.setBlocker(FrontmostBlocker::ShellExtensionMissing);
    runDue();
    EXPECT_TRUE(advice().contains(QStringLiteral("log out")));
    blocked_.setBlocker(FrontmostBlocker::KWinScriptFailed);
    runDue();
    EXPECT_TRUE(advice().contains(QStringLiteral("KWin")));
    // Turning the extension on would turn every user extension on: said before the click.
    blocked_.setBlocker(FrontmostBlocker::ShellUserExtensionsOff);
    runDue();
    EXPECT_TRUE(advice().contains(QStringLiteral("turns them all on again")));
    EXPECT_TRUE(item(QStringLiteral("enableExtensionButton"))->isVisible());
    reveal(item(QStringLiteral("frontmostNotice")));
    h_->savePng(h_->grab(), QStringLiteral("panel-dark-frontmost-user-extensions-off"));

    // With exclusions off there is nothing to follow the window for.
    clickCard(QStringLiteral("card.exclusions"));
    runDue();
    EXPECT_FALSE(blockedExclusions_.isEnabled());
    EXPECT_FALSE(noticeShown());

    blockedExclusions_.setEnabled(true);
    blocked_.setBlocker(FrontmostBlocker::None);
    runDue();
    EXPECT_FALSE(noticeShown());
}

} // namespace
} // namespace kestrune::test
