// The real-kernel stage's key scenarios (tests/vm/scenarios) on the pipe rig:
// each NAME.ksim, typed on one keyboard, must give exactly the virtual
// keyboard events of NAME.keys, as it must in the guest. The two worlds share
// the script and the expected keys, so where the kernel and the rig disagree
// one of the two runs fails.
//
// Regenerate the .keys files on purpose with KESTRUNE_REGENERATE=1.

#include "InputRig.h"

#include "Script.h"
#include "platform/linux/EvdevKeyTable.h"

#include <QDir>
#include <QFile>

namespace kestrune::testing {
namespace {

QString scenarioDir() { return QStringLiteral(KESTRUNE_VM_SCENARIOS); }

std::vector<std::string> scenarioNames()
{
    std::vector<std::string> names;
    for (const QString& file : QDir(scenarioDir()).entryList({QStringLiteral("*.ksim")}, QDir::Files, QDir::Name))
        names.push_back(file.chopped(5).toStdString());
    return names;
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Runs the script on the rig: what the virtual keyboard typed, or a failure.
Keys typed(const script::ParseResult& parsed)
{
    InputRig rig;
    int next = 3;
    auto plug = [&]() -> PipeKeyboard& {
        return rig.io.addKeyboard("/dev/input/event" + std::to_string(next++));
    };
    PipeKeyboard* kbd = &plug();
    rig.remapper = std::make_unique<KeyRemapper>(rig.platform, KeyRemapper::Collaborators{});
    // Paused there is no tap to settle: keys go straight to the system. The
    // emergency chord ends the tap on its own thread, which may be while the
    // settle waits.
    auto settle = [&] {
        if (rig.remapper->hasEventTap() && !rig.keyboard.settle()) {
            // Only the chord ends a tap by itself, and it has posted its pause.
            rig.scheduler.runDue();
            EXPECT_FALSE(rig.remapper->isEnabled()) << "the tap ended by itself without the chord";
            rig.remapper->waitForTapThreadSettled();
        }
        rig.scheduler.runDue();
        if (rig.remapper->hasEventTap())
            rig.keyboard.settle();
    };
    bool started = false;
    std::optional<QString> pausedAtStart; // every launch starts remapping
    Keys keys;
    for (const script::Line& line : parsed.lines) {
        SCOPED_TRACE(line.number);
        if (const auto* set = std::get_if<script::Set>(&line.command); set && !started && set->name == "isEnabled") {
            pausedAtStart = set->value;
            continue;
        }
        if (const auto* set = std::get_if<script::Set>(&line.command)) {
            // In the guest a setting is a restart with the settings file
            // changed (a pause is kestrune --pause); here it is the setter,
            // which ends nothing held.
            EXPECT_TRUE(script::applyRemapperSetting(*rig.remapper, set->name, set->value))
                << set->name.toStdString() << " is not one the guest can set";
            if (started) {
                rig.remapper->waitForTapThreadSettled();
                rig.settleStart(); // false while paused: no tap then
            }
            continue;
        }
        if (!started) {
            EXPECT_TRUE(rig.start());
            started = true;
            if (pausedAtStart) {
                script::applyRemapperSetting(*rig.remapper, QStringLiteral("isEnabled"), *pausedAtStart);
                rig.remapper->waitForTapThreadSettled();
                rig.settleStart();
            }
        }
        std::visit(
            [&](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, script::KeyCommand>) {
                    const int code = evdev::evdevKeyFor(c.key);
                    ASSERT_GT(code, 0) << "no evdev key for " << c.key;
                    if (c.kind != script::KeyCommand::up)
                        kbd->press(static_cast<uint16_t>(code));
                    if (c.kind != script::KeyCommand::down)
                        kbd->release(static_cast<uint16_t>(code));
                    settle();
                } else if constexpr (std::is_same_v<T, script::Wait>) {
                    rig.advance(c.duration);
                } else if constexpr (std::is_same_v<T, script::Repeat>) {
                    for (int i = 0; i < c.count; ++i)
                        kbd->repeat(static_cast<uint16_t>(evdev::evdevKeyFor(c.key)));
                    settle();
                } else if constexpr (std::is_same_v<T, script::Unplug>) {
                    kbd->vanish();
                    settle();
                    kbd = &plug();
                    rig.keyboard.rescanDevices();
                    settle();
                } else {
                    ADD_FAILURE() << "not a command the guest can run";
                }
            },
            line.command);
        const Keys now = rig.take();
        keys.insert(keys.end(), now.begin(), now.end());
    }
    rig.advance(Millis{2000}); // what falls due after the last line
    const Keys rest = rig.take();
    keys.insert(keys.end(), rest.begin(), rest.end());
    EXPECT_TRUE(rig.held.empty()) << "a key left held";
    return keys;
}

class KernelScenarios : public ::testing::TestWithParam<std::string> {};

TEST_P(KernelScenarios, TypeWhatTheKernelTypes)
{
    const QString base = scenarioDir() + QLatin1Char('/') + QString::fromStdString(GetParam());
    const script::ParseResult parsed = script::parse(readText(base + QStringLiteral(".ksim")));
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    const Keys keys = typed(parsed);

    QString text;
    for (const std::string& k : keys)
        text += QString::fromStdString(k) + QLatin1Char('\n');
    const QString expectedPath = base + QStringLiteral(".keys");
    if (qEnvironmentVariableIsSet("KESTRUNE_REGENERATE")) {
        QFile f(expectedPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
        return;
    }
    EXPECT_EQ(text.toStdString(), readText(expectedPath).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Vm, KernelScenarios, ::testing::ValuesIn(scenarioNames()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace kestrune::testing
