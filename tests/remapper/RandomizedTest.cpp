// Long random sessions on the real engine over the sim backend: presses and
// releases of Caps Lock, the Command keys, Shift and letters, waits, setting
// changes, exclusions, pauses, device arrivals, wakes, sleeps, keyboards
// vanishing with keys held and key repeats, checked against
// what must hold whatever the order of events:
//   - F19 never reaches an application while the Caps Lock → F19 mapping is
//     in force and the frontmost application is not excluded;
//   - once every physical key is up and pending work has run, the
//     application holds no key down, and a plain letter goes out as itself
//     with no modifier (nothing stays held, Hyper included).
//
// Every session is seeded. KESTRUNE_RANDOM_SEED overrides the base seed and
// KESTRUNE_RANDOM_EVENTS the number of physical key events over all
// sessions (a million by default; 300,000 under ThreadSanitizer, where each
// hand-over to the tap thread costs several times more). A failure names
// the seed and writes the session as a kestrune-sim script.
//
// Even sessions run the main queue after every step, as kestrune-sim does,
// so their scripts replay exactly. Odd sessions let main-queue work lag
// behind key events for a few steps, as it can on a busy main thread; their
// scripts mark each point where it ran with "wait 0" (kestrune-sim itself
// runs it after every line).

#include "SimHarness.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <random>
#include <string>

#if defined(__SANITIZE_THREAD__)
#define KESTRUNE_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KESTRUNE_UNDER_TSAN 1
#endif
#endif

namespace kestrune {
namespace {

constexpr int kSessions = 8;
constexpr uint64_t kDefaultSeed = 0x4b657374'72756e65; // "Kestrune"
#ifdef KESTRUNE_UNDER_TSAN
constexpr int64_t kDefaultEvents = 300'000;
#else
constexpr int64_t kDefaultEvents = 1'000'000;
#endif

std::optional<uint64_t> envNumber(const char* name)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 0);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

uint64_t baseSeed() { return envNumber("KESTRUNE_RANDOM_SEED").value_or(kDefaultSeed); }
int64_t totalEvents() { return static_cast<int64_t>(envNumber("KESTRUNE_RANDOM_EVENTS").value_or(kDefaultEvents)); }

// Spreads neighbouring session numbers over the whole seed space.
uint64_t sessionSeed(uint64_t base, int session)
{
    uint64_t z = base + 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(session + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct Key {
    KeyCode code;
    const char* name; // as kestrune-sim scripts name it
    bool isModifier;
    int weight;       // how often it is picked for a press
};
constexpr Key kKeys[] = {
    {kc::kVK_CapsLock, "caps", false, 10}, {kc::kVK_Command_L, "lcmd", true, 3},
    {kc::kVK_Command_R, "rcmd", true, 3},  {kc::kVK_Shift_L, "lshift", true, 2},
    {kc::kVK_ANSI_H, "h", false, 2},       {kc::kVK_ANSI_J, "j", false, 2},
    {kc::kVK_ANSI_K, "k", false, 2},       {kc::kVK_ANSI_L, "l", false, 2},
    {kc::kVK_ANSI_W, "w", false, 2},       {kc::kVK_ANSI_A, "a", false, 2},
    {kc::kVK_ANSI_S, "s", false, 2},       {kc::kVK_ANSI_D, "d", false, 2},
    {8, "c", false, 1},                    {14, "e", false, 1},
};
constexpr KeyCode kProbeKey = 8; // c: in no Arrow Mode layout, bound to nothing
const QString kExcludedApp = QStringLiteral("com.apple.Terminal");
const QString kOtherApps[] = {QStringLiteral("com.apple.Safari"), QStringLiteral("com.apple.TextEdit")};

const Key& keyFor(KeyCode code)
{
    return *std::find_if(std::begin(kKeys), std::end(kKeys), [&](const Key& k) { return k.code == code; });
}

class Session {
public:
    Session(uint64_t seed, bool lagMainQueue)
        : harness_(dir_.path())
        , rng_(seed)
        , lag_(lagMainQueue)
    {
        harness_.sim.transcript().setEcho([this](const QString& line) { watch(line); });
    }

    ~Session() { harness_.sim.transcript().setEcho({}); }

    // Runs until `events` physical key events have gone in, then releases
    // everything and checks once more. Empty on success, else what broke.
    QString run(int64_t events)
    {
        harness_.launch();
        harness_.exclusions.addExcludedApp(QUrl::fromLocalFile(*harness_.sim.workspace().pathForBundleId(kExcludedApp)));
        record(QStringLiteral("exclude ") + kExcludedApp);
        switchFront(kOtherApps[0]);
        settle();
        while (failure_.isEmpty() && events_ < events)
            step();
        if (failure_.isEmpty())
            releaseAllAndCheck();
        return failure_;
    }

    // The session so far as a kestrune-sim script.
    QString script() const { return script_.join(QLatin1Char('\n')) + QLatin1Char('\n'); }

private:
    // --- Steps ------------------------------------------------------------

    void step()
    {
        ++steps_;
        enum Action {
            press, release, repeat, wait, setting, front, exclusionSwitch, pause, device, wake, sleep, unplug, releaseAll
        };
        const bool anyHeld = !held_.empty();
        const bool anyHeldRepeatable = !repeatable().empty();
        const double weights[] = {
            34,                            // press
            anyHeld ? 34.0 : 0.0,          // release
            anyHeldRepeatable ? 3.0 : 0.0, // repeat (autorepeat of a held key)
            14,                            // wait
            4,                             // setting
            2,                             // front
            1,                             // exclusion switch
            paused_ ? 8.0 : 0.6,           // pause / resume: pauses stay short
            0.3,                           // device arrival
            0.3,                           // wake
            0.3,                           // the machine about to sleep
            anyHeld ? 0.4 : 0.0,           // the keyboard vanishes with keys held
            anyHeld ? 1.5 : 0.0,           // release everything and check
        };
        std::discrete_distribution<int> pick(std::begin(weights), std::end(weights));
        bool threadsMoved = false; // a pause or resume: always settle after it
        switch (static_cast<Action>(pick(rng_))) {
        case press: pressNewKey(); break;
        case release: releaseHeldKey(); break;
        case repeat: repeatHeldKey(); break;
        case wait: waitRandom(); break;
        case setting: changeSetting(); break;
        case front: switchFront(rng_() % 2 ? kExcludedApp : kOtherApps[rng_() % 2]); break;
        case exclusionSwitch: {
            const bool on = !harness_.exclusions.isEnabled();
            harness_.exclusions.setEnabled(on);
            record(QStringLiteral("set isAppExclusionEnabled %1").arg(on ? "true" : "false"));
            break;
        }
        case pause:
            paused_ = !paused_;
            harness_.remapper.setIsEnabled(!paused_);
            record(QStringLiteral("set isEnabled %1").arg(paused_ ? "false" : "true"));
            threadsMoved = true;
            break;
        case device:
            harness_.sim.devices().arrive();
            record(QStringLiteral("device"));
            break;
        case wake:
            harness_.sim.wake().wake();
            record(QStringLiteral("wake"));
            break;
        case sleep:
            // The keys stay physically held; they come up after the wake.
            harness_.sim.wake().sleep();
            record(QStringLiteral("sleep"));
            break;
        case unplug:
            harness_.sim.keyboard().unplug();
            events_ += static_cast<int64_t>(held_.size());
            held_.clear();
            record(QStringLiteral("unplug"));
            break;
        case releaseAll: releaseAllAndCheck(); break;
        }
        if (!lag_ || threadsMoved || std::bernoulli_distribution(0.3)(rng_))
            settle();
        checkWatch();
    }

    void pressNewKey()
    {
        std::vector<const Key*> candidates;
        std::vector<int> weights;
        for (const Key& k : kKeys) {
            if (std::find(held_.begin(), held_.end(), k.code) == held_.end()) {
                candidates.push_back(&k);
                weights.push_back(k.weight);
            }
        }
        if (candidates.empty())
            return;
        const Key& k = *candidates[std::discrete_distribution<size_t>(weights.begin(), weights.end())(rng_)];
        held_.push_back(k.code);
        if (k.code == kc::kVK_CapsLock)
            capsPressedAsF19_ = harness_.sim.shell().isCapsLockMappedToF19();
        down(k);
    }

    void releaseHeldKey()
    {
        const size_t i = rng_() % held_.size();
        const Key& k = keyFor(held_[i]);
        held_.erase(held_.begin() + static_cast<ptrdiff_t>(i));
        up(k);
        // Sometimes, with every key up, let the clock run out and check.
        if (held_.empty() && std::bernoulli_distribution(0.3)(rng_))
            checkAllUp();
    }

    // Held keys that may repeat: not modifiers, and Caps Lock only while
    // the mapping is as it was when it went down (the hardware repeats the
    // key that went down; the sim would re-decide between F19 and Caps Lock).
    std::vector<KeyCode> repeatable()
    {
        std::vector<KeyCode> keys;
        for (KeyCode c : held_) {
            if (keyFor(c).isModifier)
                continue;
            if (c == kc::kVK_CapsLock && harness_.sim.shell().isCapsLockMappedToF19() != capsPressedAsF19_)
                continue;
            keys.push_back(c);
        }
        return keys;
    }

    void repeatHeldKey()
    {
        const std::vector<KeyCode> keys = repeatable();
        const Key& k = keyFor(keys[rng_() % keys.size()]);
        harness_.sim.keyboard().physicalRepeat(k.code);
        ++events_;
        record(QStringLiteral("repeat %1").arg(QLatin1String(k.name)));
    }

    void waitRandom()
    {
        // Mostly typing speed, sometimes around the double-tap threshold,
        // sometimes a pause in typing.
        const double shape = std::uniform_real_distribution<double>(0, 1)(rng_);
        const int ms = shape < 0.5 ? static_cast<int>(rng_() % 40)
                     : shape < 0.85 ? 40 + static_cast<int>(rng_() % 260)
                                    : 300 + static_cast<int>(rng_() % 101);
        advance(Millis(ms));
    }

    void changeSetting()
    {
        KeyRemapper& r = harness_.remapper;
        auto flip = [&](const char* name, bool value, auto setter) {
            (r.*setter)(value);
            record(QStringLiteral("set %1 %2").arg(QLatin1String(name), value ? "true" : "false"));
        };
        auto choose = [&](const char* name, const auto& all, auto setter) {
            const auto value = all[rng_() % all.size()];
            (r.*setter)(value);
            record(QStringLiteral("set %1 %2").arg(QLatin1String(name), config::rawValue(value)));
        };
        const bool b = rng_() % 2;
        switch (rng_() % 9) {
        case 0: choose("hyperKeyConfig", config::kAllHyperKeyConfigs, &KeyRemapper::setHyperKeyConfig); break;
        case 1: flip("isHyperKeyEnabled", b, &KeyRemapper::setIsHyperKeyEnabled); break;
        case 2: flip("isSinglePressEnabled", b, &KeyRemapper::setIsSinglePressEnabled); break;
        case 3: choose("singlePressConfig", config::kAllSinglePressConfigs, &KeyRemapper::setSinglePressConfig); break;
        case 4: flip("isCapsLockDoubleTapEnabled", b, &KeyRemapper::setIsCapsLockDoubleTapEnabled); break;
        case 5: flip("isVimModeEnabled", b, &KeyRemapper::setIsVimModeEnabled); break;
        case 6: choose("vimModeConfig", config::kAllVimModeConfigs, &KeyRemapper::setVimModeConfig); break;
        case 7: flip("isCmdEisuKanaEnabled", b, &KeyRemapper::setIsCmdEisuKanaEnabled); break;
        case 8: choose("cmdEisuKanaConfig", config::kAllCmdEisuKanaConfigs, &KeyRemapper::setCmdEisuKanaConfig); break;
        }
    }

    void switchFront(const QString& bundleId)
    {
        harness_.sim.workspace().setFrontmost(bundleId);
        record(QStringLiteral("front ") + bundleId);
    }

    void releaseAllAndCheck()
    {
        std::shuffle(held_.begin(), held_.end(), rng_);
        while (!held_.empty() && failure_.isEmpty()) {
            const Key& k = keyFor(held_.back());
            held_.pop_back();
            up(k);
            if (!lag_)
                settle();
            checkWatch();
        }
        if (failure_.isEmpty())
            checkAllUp();
    }

    // --- Driving, recorded as script lines ------------------------------------

    void down(const Key& k)
    {
        harness_.sim.keyboard().physicalDown(k.code);
        ++events_;
        record(QStringLiteral("down %1").arg(QLatin1String(k.name)));
    }

    void up(const Key& k)
    {
        harness_.sim.keyboard().physicalUp(k.code);
        ++events_;
        record(QStringLiteral("up %1").arg(QLatin1String(k.name)));
    }

    void advance(Millis d)
    {
        harness_.advance(d);
        record(QStringLiteral("wait %1").arg(d.count()));
    }

    // Runs the main-queue work due now. A lagging session records it as
    // "wait 0", which does the same, so that its script shows where it ran.
    void settle()
    {
        harness_.settle();
        if (lag_)
            record(QStringLiteral("wait 0"));
    }

    void record(const QString& line) { script_.append(line); }

    // --- Checks ---------------------------------------------------------------

    // Every physical key is up: once pending work has run, the application
    // holds no key, and a plain letter reaches it unmodified.
    void checkAllUp()
    {
        const Millis before = harness_.now();
        harness_.runOut();
        // A script waits as long as the run-out took.
        record(QStringLiteral("wait %1").arg((harness_.now() - before).count()));
        checkWatch();
        if (!failure_.isEmpty())
            return;
        const std::vector<KeyCode> stuck = harness_.sim.keyboard().keysDownInOutput();
        if (!stuck.empty()) {
            QStringList codes;
            for (KeyCode c : stuck)
                codes << QString::number(c);
            fail(QStringLiteral("every key is up, yet the application holds %1 down").arg(codes.join(QLatin1Char(' '))));
            return;
        }

        SimTranscript& transcript = harness_.sim.transcript();
        transcript.clear();
        const Key& probe = keyFor(kProbeKey);
        down(probe);
        settle();
        up(probe);
        settle();
        QStringList out;
        for (const QString& line : transcript.lines())
            if (line.contains(QLatin1String(" out ")))
                out << line.section(QLatin1Char(' '), 1);
        const QStringList expected = {QStringLiteral("out down %1 -").arg(kProbeKey),
                                      QStringLiteral("out up %1 -").arg(kProbeKey)};
        if (out != expected)
            fail(QStringLiteral("with every key up, a tap of %1 gave [%2] instead of [%3]")
                     .arg(QLatin1String(probe.name), out.join(QStringLiteral(", ")), expected.join(QStringLiteral(", "))));
        transcript.clear();
    }

    // Any thread (the transcript's echo): flags an F19 press going out while
    // the mapping is in force for an application that is not excluded. The
    // state read is the state at the moment the line is written. A stray
    // F19 release is let through on purpose (the application may have seen
    // the press before a tap was there) and is harmless.
    void watch(const QString& line)
    {
        static const QRegularExpression f19(QStringLiteral("^\\d+ out down 80 "));
        if (!f19.match(line).hasMatch())
            return;
        if (!harness_.sim.shell().isCapsLockMappedToF19() || harness_.exclusions.isCurrentAppExcluded())
            return;
        std::lock_guard lock(watchMutex_);
        if (watchFailure_.isEmpty())
            watchFailure_ = QStringLiteral("F19 reached the application while Caps Lock is mapped to it: \"%1\"").arg(line);
    }

    void checkWatch()
    {
        {
            std::lock_guard lock(watchMutex_);
            if (!watchFailure_.isEmpty())
                fail(watchFailure_);
        }
        // The transcript is only read by the checks; keep it small.
        if (steps_ % 512 == 0)
            harness_.sim.transcript().clear();
    }

    void fail(const QString& what)
    {
        if (failure_.isEmpty())
            failure_ = QStringLiteral("%1 (step %2, key event %3, script line %4)")
                           .arg(what)
                           .arg(steps_)
                           .arg(events_)
                           .arg(script_.size());
    }

    QTemporaryDir dir_;
    SimHarness harness_;
    std::mt19937_64 rng_;
    const bool lag_;

    std::vector<KeyCode> held_; // physical keys held, in pressing order
    bool paused_ = false;
    int64_t events_ = 0;
    int64_t steps_ = 0;
    QStringList script_;
    QString failure_;

    std::mutex watchMutex_;
    bool capsPressedAsF19_ = false;
    QString watchFailure_; // guarded by watchMutex_
};

class RemapperRandomSessions : public ::testing::TestWithParam<int> {};

TEST_P(RemapperRandomSessions, KeepTheEngineInvariants)
{
    const int session = GetParam();
    const uint64_t base = baseSeed();
    const uint64_t seed = sessionSeed(base, session);
    const int64_t events = (totalEvents() + kSessions - 1) / kSessions;
    const bool lag = session % 2 == 1;

    Session s(seed, lag);
    const QString failure = s.run(events);
    if (failure.isEmpty())
        return;

    const QString path = QString::fromStdString(::testing::TempDir())
                       + QStringLiteral("kestrune-random-%1-%2.ksim").arg(base, 0, 16).arg(session);
    QFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(s.script().toUtf8()) >= 0;
    const QStringList lines = s.script().trimmed().split(QLatin1Char('\n'));
    const QString tail = lines.mid(std::max<qsizetype>(0, lines.size() - 40)).join(QLatin1Char('\n'));
    ADD_FAILURE() << failure.toStdString() << "\n  rerun: KESTRUNE_RANDOM_SEED=0x" << std::hex << base << std::dec
                  << " test_remapper_random --gtest_filter='*KeepTheEngineInvariants/" << session << "'"
                  << "\n  session " << session << (lag ? " (main queue lagging)" : "") << ", session seed 0x" << std::hex
                  << seed << std::dec << "\n  script: "
                  << (saved ? path.toStdString() : std::string("(could not be written)"))
                  << (lag ? "\n  (the main queue ran only at its \"wait\" lines; kestrune-sim runs it after every line)" : "")
                  << "\n  last script lines:\n"
                  << tail.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Seeded, RemapperRandomSessions, ::testing::Range(0, kSessions));

} // namespace
} // namespace kestrune
