// The Software Update window, rendered: what it says for an update and for a
// failure, its buttons, and the window FeedUpdates shows and reuses.

#include "support/ViewHarness.h"
#include "system/FeedUpdateChecker.h"
#include "system/FeedUpdates.h"
#include "system/LoopbackFeedServer.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <cmath>
#include <QQmlContext>
#include <QQuickWindow>

namespace kestrune {

// Takes the URLs QDesktopServices would hand to the browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

namespace {

using test::appcast;
using test::LoopbackFeedServer;

class UpdateWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher_, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher_, "open");
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    // Shows the window bound to `checker` after a check against the server.
    QObject* showChecked(FeedUpdateChecker& checker, bool dark = false)
    {
        checker.check();
        if (!h_.waitUntil([&] { return checker.state() != FeedUpdateChecker::Checking; }, 5000))
            return nullptr;
        h_.engine().rootContext()->setContextProperty(QStringLiteral("testChecker"), &checker);
        return h_.load(QStringLiteral("import QtQuick\nimport Kestrune.System\nimport Kestrune.Style\n"
                                      "UpdateWindow { checker: testChecker; Component.onCompleted: Theme.isDark = %1 }")
                           .arg(dark ? "true" : "false"));
    }

    QString text(const QString& objectName) const
    {
        QQuickItem* item = h_.find(objectName);
        return item ? item->property("text").toString() : QStringLiteral("<missing %1>").arg(objectName);
    }
    bool shown(const QString& objectName) const
    {
        QQuickItem* item = h_.find(objectName);
        return item && item->isVisible();
    }

    UrlCatcher catcher_;
    LoopbackFeedServer server_;
    test::ViewHarness h_;
};

TEST_F(UpdateWindowTest, AnAvailableUpdateOffersItsPage)
{
    server_.respond(appcast("<item><link>https://kestrune.example/releases/0.10.0</link>"
                            "<sparkle:shortVersionString>0.10.0</sparkle:shortVersionString></item>"));
    FeedUpdateChecker checker(server_.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
    QObject* root = showChecked(checker);
    ASSERT_TRUE(root) << h_.error().toStdString();
    EXPECT_EQ(h_.window()->title(), QStringLiteral("Software Update"));
    EXPECT_EQ(text(QStringLiteral("updateStatusText")), QStringLiteral("Kestrune 0.10.0 is available."));
    EXPECT_EQ(text(QStringLiteral("updateDetailText")), QStringLiteral("You have version 0.9.3."));
    EXPECT_TRUE(shown(QStringLiteral("downloadButton")));
    EXPECT_TRUE(shown(QStringLiteral("laterButton")));
    EXPECT_FALSE(shown(QStringLiteral("closeButton")));
    EXPECT_FALSE(shown(QStringLiteral("updateBusyIndicator")));
    h_.savePng(h_.grab(), QStringLiteral("update-available"));

    h_.click(h_.find(QStringLiteral("downloadButton")));
    EXPECT_EQ(catcher_.urls, QList<QUrl>{QUrl(QStringLiteral("https://kestrune.example/releases/0.10.0"))});
    EXPECT_FALSE(h_.window()->isVisible()) << "the window goes once the page is opened";
}

TEST_F(UpdateWindowTest, FeedTextIsShownAsPlainTextAndAPlainHttpPageIsNotOffered)
{
    server_.respond(appcast("<item><link>http://kestrune.example/releases/1.0</link>"
                            "<sparkle:shortVersionString>1.0&lt;img src=&quot;https://tracker.example/p.png&quot;&gt;"
                            "&lt;b&gt;</sparkle:shortVersionString></item>"));
    FeedUpdateChecker checker(server_.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
    ASSERT_TRUE(showChecked(checker)) << h_.error().toStdString();
    ASSERT_EQ(checker.state(), FeedUpdateChecker::UpdateAvailable);
    QQuickItem* status = h_.find(QStringLiteral("updateStatusText"));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->property("textFormat").toInt(), int(Qt::PlainText));
    EXPECT_EQ(h_.find(QStringLiteral("updateDetailText"))->property("textFormat").toInt(), int(Qt::PlainText));
    EXPECT_TRUE(text(QStringLiteral("updateStatusText")).contains(QStringLiteral("<img src=")));
    h_.savePng(h_.grab(), QStringLiteral("update-plain-text"));

    EXPECT_TRUE(checker.downloadUrl().isEmpty());
    EXPECT_FALSE(h_.find(QStringLiteral("downloadButton"))->isEnabled());
}

TEST_F(UpdateWindowTest, AFailureShowsTheReasonAndOk)
{
    server_.respond("<rss><channel><item><title>Kestrune</item>");
    FeedUpdateChecker checker(server_.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
    ASSERT_TRUE(showChecked(checker, /*dark=*/true)) << h_.error().toStdString();
    EXPECT_EQ(text(QStringLiteral("updateStatusText")), QStringLiteral("Could not check for updates."));
    EXPECT_EQ(text(QStringLiteral("updateDetailText")), checker.errorText());
    EXPECT_FALSE(shown(QStringLiteral("downloadButton")));
    EXPECT_EQ(text(QStringLiteral("closeButton")), QStringLiteral("OK"));
    h_.savePng(h_.grab(), QStringLiteral("update-failed-dark"));

    h_.click(h_.find(QStringLiteral("closeButton")));
    EXPECT_FALSE(h_.window()->isVisible());
    EXPECT_TRUE(catcher_.urls.isEmpty());
}

// A button as rendered: how its label stands out from its fill (the label's
// most distinct pixel), and its fill from the window around it.
struct ButtonContrast {
    double label = 1;
    double fill = 1;
};

ButtonContrast measure(const QImage& image, QQuickItem* button)
{
    const QRectF rect = button->mapRectToScene(QRectF(0, 0, button->width(), button->height()));
    // Above the label, inside the border; and just above the button.
    const QColor fill = image.pixelColor(QPoint(int(rect.center().x()), int(rect.top()) + 3));
    const QColor window = image.pixelColor(QPoint(int(rect.center().x()), int(rect.top()) - 3));
    ButtonContrast result;
    result.fill = test::contrastRatio(fill, window);
    for (int y = int(rect.top()) + 4; y < int(rect.bottom()) - 4; ++y) {
        for (int x = int(rect.left()) + 8; x < int(rect.right()) - 8; ++x)
            result.label = std::max(result.label, test::contrastRatio(image.pixelColor(x, y), fill));
    }
    return result;
}

// The default button reads as enabled: its label stands out from its fill
// by 4.5:1 or more, and the fill from the window by 3:1, in both appearances.
TEST_F(UpdateWindowTest, TheDefaultButtonReadsAsEnabledInBothAppearances)
{
    for (bool dark : {false, true}) {
        server_.respond("<rss><channel><item><title>Kestrune</item>");
        FeedUpdateChecker checker(server_.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
        ASSERT_TRUE(showChecked(checker, dark)) << h_.error().toStdString();
        QQuickItem* ok = h_.find(QStringLiteral("closeButton"));
        ASSERT_TRUE(ok && ok->isEnabled());
        const QImage image = h_.grab();
        h_.savePng(image, dark ? QStringLiteral("update-ok-dark") : QStringLiteral("update-ok-light"));
        const ButtonContrast c = measure(image, ok);
        EXPECT_GE(c.label, 4.5) << (dark ? "dark" : "light");
        EXPECT_GE(c.fill, 3.0) << (dark ? "dark" : "light");
    }

    server_.respond(appcast("<item><link>https://kestrune.example/releases/0.10.0</link>"
                            "<sparkle:shortVersionString>0.10.0</sparkle:shortVersionString></item>"));
    FeedUpdateChecker checker(server_.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
    ASSERT_TRUE(showChecked(checker, true)) << h_.error().toStdString();
    const QImage available = h_.grab();
    h_.savePng(available, QStringLiteral("update-available-dark"));
    const ButtonContrast download = measure(available, h_.find(QStringLiteral("downloadButton")));
    EXPECT_GE(download.label, 4.5);
    EXPECT_GE(download.fill, 3.0);
}

TEST_F(UpdateWindowTest, FeedUpdatesShowsOneWindowAndChecksEachTime)
{
    server_.respond(appcast("<item><sparkle:shortVersionString>0.9.3</sparkle:shortVersionString></item>"));
    FeedUpdates updates(h_.engine(), server_.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
    updates.startUpdater();
    EXPECT_EQ(updates.window(), nullptr) << "nothing happens unasked";
    EXPECT_EQ(server_.requestCount(), 0);

    updates.checkForUpdates();
    QQuickWindow* window = updates.window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(updates.checker().state(), FeedUpdateChecker::Checking);
    h_.savePng(window->grabWindow(), QStringLiteral("update-checking"));
    ASSERT_TRUE(h_.waitUntil([&] { return updates.checker().state() == FeedUpdateChecker::UpToDate; }));

    window->close();
    updates.checkForUpdates();
    EXPECT_EQ(updates.window(), window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(h_.waitUntil([&] { return server_.requestCount() == 2; }));
}

} // namespace
} // namespace kestrune

#include "UpdateWindowTest.moc"
