// Checking a release feed served on this machine: what each answer of the
// server turns into, and the addresses the checker refuses.

#include "system/FeedUpdateChecker.h"
#include "system/LoopbackFeedServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSignalSpy>

namespace kestrune {
namespace {

using test::appcast;
using test::LoopbackFeedServer;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const QByteArray kFeed = appcast(
    "<item><link>/releases/0.3.0</link><sparkle:shortVersionString>0.3.0</sparkle:shortVersionString></item>"
    "<item><link>/releases/0.10.0</link><sparkle:shortVersionString>0.10.0</sparkle:shortVersionString></item>");

// Runs one check to its end.
void runCheck(FeedUpdateChecker& checker)
{
    QSignalSpy finished(&checker, &FeedUpdateChecker::checkFinished);
    checker.check();
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }));
    EXPECT_EQ(finished.count(), 1);
}

std::string errorOf(const FeedUpdateChecker& checker)
{
    EXPECT_EQ(checker.state(), FeedUpdateChecker::Failed);
    return checker.errorText().toStdString();
}

TEST(FeedUpdateChecker, ComparesTheNewestReleaseWithOurs)
{
    LoopbackFeedServer server;
    server.respond(kFeed);
    FeedUpdateChecker older(server.url(), QStringLiteral("0.9.3"), LoopbackHttpForTests());
    QSignalSpy changes(&older, &FeedUpdateChecker::changed);
    older.check();
    EXPECT_EQ(older.state(), FeedUpdateChecker::Checking);
    older.check(); // a second request while one runs is dropped
    ASSERT_TRUE(test::waitUntil([&] { return older.state() != FeedUpdateChecker::Checking; }));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(older.state(), FeedUpdateChecker::UpdateAvailable);
    EXPECT_EQ(older.latestVersion(), QStringLiteral("0.10.0"));
    EXPECT_EQ(older.downloadUrl(), server.url(QStringLiteral("/releases/0.10.0"))) << "resolved against the feed";
    EXPECT_EQ(changes.count(), 2) << "checking, then the result";

    for (const char* ours : {"0.10", "0.10.1"}) {
        FeedUpdateChecker current(server.url(), QString::fromLatin1(ours), LoopbackHttpForTests());
        runCheck(current);
        EXPECT_EQ(current.state(), FeedUpdateChecker::UpToDate) << ours;
    }

    // A page that is not a web address is not offered.
    server.respond(appcast("<item><link>file:///etc/passwd</link><sparkle:version>9.0</sparkle:version></item>"));
    runCheck(older);
    EXPECT_EQ(older.state(), FeedUpdateChecker::UpdateAvailable);
    EXPECT_TRUE(older.downloadUrl().isEmpty());
}

TEST(FeedUpdateChecker, FailuresSayWhatWentWrongAndClearTheLastResult)
{
    LoopbackFeedServer server;
    server.respond(kFeed);
    FeedUpdateChecker checker(server.url(), QStringLiteral("0.1"), LoopbackHttpForTests());
    runCheck(checker);
    ASSERT_EQ(checker.state(), FeedUpdateChecker::UpdateAvailable);

    server.respond("<rss><channel><item>");
    runCheck(checker);
    EXPECT_THAT(errorOf(checker), StartsWith("The update feed could not be read: "));
    EXPECT_TRUE(checker.latestVersion().isEmpty());
    EXPECT_TRUE(checker.downloadUrl().isEmpty());

    server.respond("Not here", "404 Not Found");
    runCheck(checker);
    EXPECT_THAT(errorOf(checker), StartsWith("The update feed could not be reached: "));

    FeedUpdateChecker unreachable(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(test::closedPort())), {},
                                  LoopbackHttpForTests());
    runCheck(unreachable);
    EXPECT_THAT(errorOf(unreachable), StartsWith("The update feed could not be reached: "));
}

// The application's checkers take https alone; plain http on this machine
// is for the tests' server, and only where they ask for it.
TEST(FeedUpdateChecker, PlainHttpOnThisMachineIsForTheTestsAlone)
{
    const FeedUpdateChecker product(QUrl(), {});
    const FeedUpdateChecker tests(QUrl(), {}, LoopbackHttpForTests());
    const struct {
        const char* address;
        bool product;
        bool tests;
    } cases[] = {
        {"https://kestrune.example/releases/1.0", true, true},
        {"https://127.0.0.1/releases/1.0", true, true},
        {"http://127.0.0.1:8080/releases/1.0", false, true},
        {"http://localhost/releases/1.0", false, true},
        {"http://[::1]/releases/1.0", false, true},
        {"http://kestrune.example/releases/1.0", false, false},
        {"http://127.0.0.1.kestrune.example/releases/1.0", false, false},
        {"file:///etc/passwd", false, false},
        {"https:/releases/1.0", false, false},
    };
    for (const auto& c : cases) {
        const QUrl address(QString::fromLatin1(c.address));
        EXPECT_EQ(product.acceptsAddress(address), c.product) << c.address;
        EXPECT_EQ(tests.acceptsAddress(address), c.tests) << c.address;
    }

    // The feed itself: refused before any request is made.
    LoopbackFeedServer server;
    server.respond(kFeed);
    FeedUpdateChecker checker(server.url(), QStringLiteral("0.1"));
    runCheck(checker);
    EXPECT_THAT(errorOf(checker), HasSubstr("https://"));
    EXPECT_EQ(server.requestCount(), 0);
}

TEST(FeedUpdateChecker, OnlyHttpsIsFetchedOrFollowedExceptOnThisMachine)
{
    FeedUpdateChecker plain(QUrl(QStringLiteral("http://kestrune.example/appcast.xml")), {});
    runCheck(plain);
    EXPECT_THAT(errorOf(plain), HasSubstr("https://"));
    FeedUpdateChecker file(QUrl(QStringLiteral("file:///tmp/appcast.xml")), {});
    runCheck(file);
    EXPECT_THAT(errorOf(file), HasSubstr("https://"));

    LoopbackFeedServer target;
    target.respond(kFeed);
    QUrl byName = target.url();
    byName.setHost(QStringLiteral("localhost"));
    FeedUpdateChecker local(byName, QStringLiteral("0.1"), LoopbackHttpForTests());
    runCheck(local);
    EXPECT_EQ(local.state(), FeedUpdateChecker::UpdateAvailable);

    LoopbackFeedServer redirecting;
    redirecting.respond({}, "302 Found", "Location: " + target.url().toEncoded() + "\r\n");
    FeedUpdateChecker redirected(redirecting.url(), QStringLiteral("0.1"), LoopbackHttpForTests());
    runCheck(redirected);
    EXPECT_THAT(errorOf(redirected), HasSubstr("not HTTPS"));
    EXPECT_EQ(target.requestCount(), 1) << "only the direct request reached it";
}

TEST(FeedUpdateChecker, WithoutAFeedUpdatesComeWithThePackages)
{
    FeedUpdateChecker checker(QUrl(), QStringLiteral("0.1"));
    EXPECT_EQ(checker.state(), FeedUpdateChecker::NotConfigured);
    runCheck(checker);
    EXPECT_EQ(checker.state(), FeedUpdateChecker::NotConfigured);
}

TEST(FeedUpdateChecker, GoingAwayMidCheckStopsTheTransfer)
{
    LoopbackFeedServer server;
    server.respond(kFeed);
    auto checker = std::make_unique<FeedUpdateChecker>(server.url(), QStringLiteral("0.1"), LoopbackHttpForTests());
    checker->check();
    checker.reset();
    for (int i = 0; i < 5; ++i) // nothing may call back into it
        QCoreApplication::processEvents();
}

} // namespace
} // namespace kestrune
