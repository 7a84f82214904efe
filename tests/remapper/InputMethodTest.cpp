// Eisu and Kana handed to an input method the platform drives: requests
// carried from the tap thread, collapsed while a switch is under way, and
// the JIS key sent only where no input method takes the request.

#include "RemapperFixture.h"
#include "Script.h"
#include "platform/QueuedInputMethod.h"

namespace kestrune::testing {
namespace {

// Records each switch it begins; the test says when and where it ends.
class RecordingInputMethod final : public QueuedInputMethod {
public:
    using QueuedInputMethod::QueuedInputMethod;
    void setAvailable(bool on) { QueuedInputMethod::setAvailable(on); }
    void end(std::optional<InputMode> reachedMode) { finish(reachedMode); }
    std::vector<InputMode> begun;

protected:
    void begin(InputMode mode) override { begun.push_back(mode); }
};

QString run(SimHarness& h, const char* script)
{
    const script::ParseResult parsed = script::parse(QString::fromLatin1(script));
    EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    return script::run(h, parsed.lines);
}

TEST_F(RemapperTest, LoneCommandTapsGoToTheInputMethodWhenItTakesThem)
{
    SimHarness& h = launched();
    RecordingInputMethod method(h.sim.scheduler());
    std::vector<InputMode> shown;
    method.setReachedHandler([&](InputMode m) { shown.push_back(m); });
    h.platform.inputMethod = &method;
    run(h, "set isCmdEisuKanaEnabled true\n");

    // No input method to drive: the JIS key, and the HUD at once.
    int from = mark();
    run(h, "tap rcmd\n");
    EXPECT_TRUE(effects(from).contains(QStringLiteral("hud input kana")));
    EXPECT_TRUE(effects(from).contains(QStringLiteral("out down 104 - synthetic")));

    method.setAvailable(true);
    from = mark();
    run(h, "tap rcmd\n");
    ASSERT_EQ(method.begun, std::vector{InputMode::kana});
    EXPECT_EQ(effects(from), (QStringList{QStringLiteral("out flags 54 cmd"), QStringLiteral("out flags 54 -")}))
        << "no key goes out; the HUD waits for the mode reached";
    method.end(InputMode::kana);
    EXPECT_EQ(shown, std::vector{InputMode::kana});

    // Taps during a switch collapse into the last; only its result is shown.
    run(h, "tap lcmd\n");
    run(h, "tap rcmd\n");
    run(h, "tap lcmd\n");
    method.end(InputMode::eisu); // the first of them
    method.end(InputMode::eisu); // the last
    EXPECT_EQ(method.begun, (std::vector{InputMode::kana, InputMode::eisu, InputMode::eisu}));
    EXPECT_EQ(shown, (std::vector{InputMode::kana, InputMode::eisu}));

    // A switch that could not tell where it got shows nothing.
    run(h, "tap rcmd\n");
    method.end(std::nullopt);
    EXPECT_EQ(shown.size(), 2u);
    h.platform.inputMethod = nullptr;
}

TEST_F(RemapperTest, AQueuedInputMethodPassOutlivesItsOwner)
{
    SimHarness& h = launched();
    auto method = std::make_unique<RecordingInputMethod>(h.sim.scheduler());
    method->setAvailable(true);
    EXPECT_TRUE(method->request(InputMode::kana));
    method.reset(); // the pass is still queued
    h.settle();     // and finds no owner (AddressSanitizer watches)
}

} // namespace
} // namespace kestrune::testing
