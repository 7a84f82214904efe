// Reading release feeds: how versions order, the places a feed may put a
// release's version and page, and feeds that cannot be used.

#include "system/AppcastParser.h"
#include "system/LoopbackFeedServer.h"
#include "system/VersionCompare.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

using test::appcast;

TEST(VersionCompare, NumbersCompareNumericallyAndPreReleasesComeFirst)
{
    EXPECT_GT(compareVersions(u"0.10.0", u"0.9.3"), 0);
    EXPECT_EQ(compareVersions(u"1.2", u"1.2.0"), 0);
    EXPECT_GT(compareVersions(u"1.2.0.1", u"1.2"), 0);
    EXPECT_EQ(compareVersions(u" v1.2.3+build.7 ", u"1.2.3"), 0);
    EXPECT_GT(compareVersions(u"99999999999999999999999", u"1"), 0) << "too long for 64 bits";

    EXPECT_LT(compareVersions(u"1.2.0-beta1", u"1.2.0"), 0);
    EXPECT_LT(compareVersions(u"1.2b3", u"1.2"), 0);
    EXPECT_GT(compareVersions(u"1.2.0-beta1", u"1.1.9"), 0);
    EXPECT_LT(compareVersions(u"1.0-alpha", u"1.0-beta"), 0);
    EXPECT_LT(compareVersions(u"1.0-beta.2", u"1.0-beta.10"), 0);
    EXPECT_LT(compareVersions(u"1.0-rc", u"1.0-rc.1"), 0);
    EXPECT_EQ(compareVersions(u"1.0-RC1", u"1.0rc1"), 0);
}

TEST(AppcastParser, FindsVersionsAndPagesWhereverTheFeedPutsThem)
{
    const auto feed = parseAppcast(appcast(
        // Elements, with a release-notes link only.
        "<item><title>Kestrune 0.2</title><sparkle:version>20</sparkle:version>"
        "<sparkle:shortVersionString>0.2.0</sparkle:shortVersionString>"
        "<sparkle:releaseNotesLink>https://k.example/notes/0.2</sparkle:releaseNotesLink></item>\n"
        // Enclosure attributes only; the link wins over the enclosure.
        "<item><link>https://k.example/releases/0.3</link><enclosure url=\"https://k.example/dl/0.3.tar.gz\""
        " sparkle:version=\"30\" sparkle:shortVersionString=\"0.3.0\"/></item>\n"
        // Only sparkle:version; delta patches are not releases.
        "<item><enclosure url=\"https://k.example/dl/0.1\" sparkle:version=\"0.1\"/><sparkle:deltas>"
        "<enclosure url=\"https://k.example/dl/delta\" sparkle:version=\"9.9\"/></sparkle:deltas></item>\n"
        // Elements win over attributes; an opt-in channel and an unversioned item are left out.
        "<item><sparkle:shortVersionString>0.4.0</sparkle:shortVersionString>"
        "<enclosure url=\"https://k.example/dl/0.4\" sparkle:shortVersionString=\"0.0.4\"/></item>\n"
        "<item><sparkle:channel>beta</sparkle:channel><sparkle:version>5.0</sparkle:version></item>\n"
        "<item><title>no version</title><link>https://k.example/</link></item>\n"));
    ASSERT_TRUE(feed.error.isEmpty()) << feed.error.toStdString();
    ASSERT_EQ(feed.items.size(), 4);

    const auto& [title, version, display, url] = feed.items[0];
    EXPECT_EQ(title, QStringLiteral("Kestrune 0.2"));
    EXPECT_EQ(version, QStringLiteral("20"));
    EXPECT_EQ(display, QStringLiteral("0.2.0"));
    EXPECT_EQ(url, QUrl(QStringLiteral("https://k.example/notes/0.2")));

    EXPECT_EQ(feed.items[1].version, QStringLiteral("30"));
    EXPECT_EQ(feed.items[1].displayVersion, QStringLiteral("0.3.0"));
    EXPECT_EQ(feed.items[1].url, QUrl(QStringLiteral("https://k.example/releases/0.3")));
    EXPECT_EQ(feed.items[2].displayVersion, QStringLiteral("0.1")) << "the version stands in for the display version";
    EXPECT_EQ(feed.items[2].url, QUrl(QStringLiteral("https://k.example/dl/0.1")));
    EXPECT_EQ(feed.items[3].displayVersion, QStringLiteral("0.4.0"));

    EXPECT_EQ(newestItem(feed.items)->displayVersion, QStringLiteral("0.4.0"));
    EXPECT_FALSE(newestItem({}).has_value());
}

TEST(AppcastParser, TheNewestIsChosenByDisplayVersionNotBuildNumber)
{
    const auto feed = parseAppcast(appcast(
        "<item><sparkle:version>900</sparkle:version><sparkle:shortVersionString>0.9.3</sparkle:shortVersionString></item>"
        "<item><sparkle:version>80</sparkle:version><sparkle:shortVersionString>0.10.0</sparkle:shortVersionString></item>"
        "<item><sparkle:version>950</sparkle:version><sparkle:shortVersionString>0.10.0-rc1</sparkle:shortVersionString></item>"));
    EXPECT_EQ(newestItem(feed.items)->version, QStringLiteral("80"));
}

TEST(AppcastParser, UnusableFeedsSayWhy)
{
    auto errorOf = [](const QByteArray& bytes) { return parseAppcast(bytes).error.toStdString(); };
    EXPECT_THAT(errorOf("<rss><channel><item><title>x</item></channel></rss>"),
                ::testing::HasSubstr("not valid XML (line 1: "));
    EXPECT_THAT(errorOf({}), ::testing::HasSubstr("not valid XML"));
    EXPECT_THAT(errorOf("<html><body>Not found</body></html>"), ::testing::HasSubstr("not an RSS"));
    EXPECT_THAT(errorOf(appcast("<item><title>Kestrune</title></item>")), ::testing::HasSubstr("no release"));
    // Sparkle elements are known by their namespace, not their prefix.
    EXPECT_THAT(errorOf("<rss xmlns:sparkle=\"urn:x\"><channel><item><sparkle:version>1</sparkle:version></item></channel></rss>"),
                ::testing::HasSubstr("no release"));
}

TEST(AppcastParser, FeedsWithADocumentTypeAreRefusedBeforeAnyEntityExpands)
{
    const QByteArray item = "<item><title>&amp; &#x41;</title><sparkle:version>1.0</sparkle:version></item>";
    ASSERT_TRUE(parseAppcast(appcast(item)).error.isEmpty()) << "character references still read";
    EXPECT_EQ(parseAppcast(appcast(item)).items.value(0).title, QStringLiteral("& A"));

    // Many references to one large entity: refused at the declaration.
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY big \"" + QByteArray(9000, 'x') + "\">]>"
        "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item><title>";
    for (int i = 0; i < 2000; ++i)
        laughs += "&big;";
    laughs += "</title><sparkle:version>1.0</sparkle:version></item></channel></rss>";
    const AppcastParseResult refused = parseAppcast(laughs);
    EXPECT_TRUE(refused.items.isEmpty());
    EXPECT_THAT(refused.error.toStdString(), ::testing::HasSubstr("declares a document type"));
    // A bare declaration as well: real feeds have none.
    EXPECT_THAT(parseAppcast(QByteArray(appcast(item)).replace("\n<rss", "\n<!DOCTYPE rss>\n<rss")).error.toStdString(),
                ::testing::HasSubstr("document type"));
    // Qt's reader takes a declaration even inside an element, where reading
    // an item would pass over it unseen.
    const QByteArray hidden = "<item><title><!DOCTYPE x>T</title><!DOCTYPE y><sparkle:version>1.0</sparkle:version></item>";
    const AppcastParseResult inside = parseAppcast(appcast(hidden));
    EXPECT_TRUE(inside.items.isEmpty());
    EXPECT_THAT(inside.error.toStdString(), ::testing::HasSubstr("document type"));
}

TEST(AppcastParser, StopsAtItsBudget)
{
    QByteArray items;
    for (int i = 0; i < 50; ++i)
        items += "<x/>";
    const QByteArray feed = appcast(items + "<item><sparkle:version>1.0</sparkle:version></item>");
    EXPECT_EQ(parseAppcast(feed).items.size(), 1);
    const AppcastParseResult cut = parseAppcast(feed, 20);
    EXPECT_TRUE(cut.items.isEmpty());
    EXPECT_THAT(cut.error.toStdString(), ::testing::HasSubstr("too large"));
    // Tokens inside an item count as well.
    const AppcastParseResult bigItem = parseAppcast(appcast("<item>" + items + "<sparkle:version>1.0</sparkle:version></item>"), 20);
    EXPECT_TRUE(bigItem.items.isEmpty());
    EXPECT_THAT(bigItem.error.toStdString(), ::testing::HasSubstr("too large"));
}

} // namespace
} // namespace kestrune
