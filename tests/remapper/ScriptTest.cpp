// The simulator's script language: what it accepts and how it refuses.

#include "RemapperFixture.h"
#include "Script.h"

namespace kestrune::testing {
namespace {

TEST(Script, KeysAndDurations)
{
    EXPECT_EQ(script::parseKey("caps"), kc::kVK_CapsLock);
    EXPECT_EQ(script::parseKey("J"), kc::kVK_ANSI_J);
    EXPECT_EQ(script::parseKey("5"), 23) << "a digit key, not key code 5";
    EXPECT_EQ(script::parseKey("200"), 200);
    EXPECT_EQ(script::parseKey("256"), std::nullopt);
    EXPECT_EQ(script::parseKey("capslock"), std::nullopt);
    EXPECT_EQ(script::parseDuration("150"), Millis{150});
    EXPECT_EQ(script::parseDuration("150ms"), Millis{150});
    EXPECT_EQ(script::parseDuration("1.5s"), Millis{1500});
    EXPECT_EQ(script::parseDuration("0.0005s"), std::nullopt) << "the clock counts whole milliseconds";
    EXPECT_EQ(script::parseDuration("-5"), std::nullopt);
    EXPECT_EQ(script::parseDuration("2m"), std::nullopt);
}

TEST(Script, AnErrorNamesItsLineAndNothingRuns)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"tap a\n\n# fine\ntap capslock\n", "line 4: unknown key \"capslock\""},
        {"wait soon", "line 1: wait takes a duration such as 150, 150ms or 1.5s, not \"soon\""},
        {"set isHyperKeyEnabled yes", "line 1: isHyperKeyEnabled takes true or false, not \"yes\""},
        {"set singlePressConfig none", "line 1: \"none\" is not a value of singlePressConfig"},
        {"set volume 11", "line 1: unknown setting \"volume\""},
        {"exclude com.example.one two", "line 1: exclude takes one application identifier"},
        {"repeat a", "line 1: repeat needs a held (down a first)"},
        {"down a\nup a\nrepeat a 3", "line 3: repeat needs a held (down a first)"},
        {"down a\nunplug\nrepeat a", "line 3: repeat needs a held (down a first)"},
        {"down a\nrepeat a 0", "line 2: repeat takes a count from 1 to 10000, not \"0\""},
        {"sleep 5", "line 1: unknown command \"sleep 5\""},
        {"session away", "line 1: session takes active or inactive"},
        {"trust maybe", "line 1: trust takes yes or no"},
        {"down a b", "line 1: down takes one key"},
        {"jump", "line 1: unknown command \"jump\""},
        {"stall\ntap a\nset isEnabled false\nresume", "line 3: only keys and wait while stalled (resume first)"},
        {"stall\nstall", "line 2: stall while stalled (resume first)"},
        {"resume", "line 1: resume without a stall before it"},
        {"stall\ntap a", "the script ends stalled (resume at the end)"},
    };
    for (const auto& c : cases) {
        const auto parsed = script::parse(QString::fromUtf8(c.text));
        EXPECT_EQ(parsed.error, QString::fromUtf8(c.error)) << c.text;
        EXPECT_TRUE(parsed.lines.empty());
    }
    const auto fine = script::parse("bind s /Applications/Visual Studio Code.app # spaces stay\nwait 1.5s\n");
    ASSERT_TRUE(fine.error.isEmpty());
    ASSERT_EQ(fine.lines.size(), 2u);
    EXPECT_EQ(std::get<script::Bind>(fine.lines[0].command).path, QStringLiteral("/Applications/Visual Studio Code.app"));
}

} // namespace
} // namespace kestrune::testing
