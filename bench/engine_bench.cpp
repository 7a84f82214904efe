// The key engine on the tap thread's hot path: KeyRemapper::handleEvent
// called directly, the benchmark thread playing the tap thread (no tap is
// started), on a typing workload with Hyper chords and lone Caps Lock taps.
//
// Workload: 10,000,000 events in 250,000 blocks of 40. A block is the groups
// PPPPCPPPTPPPPCPPPT, where
//   P  a letter down and up (a…z in turn over the whole stream),
//   C  F19 down, X down, X up, F19 up (X from h j k l a s d f in turn),
//   T  F19 down and up: a lone tap, which posts Escape down and up.
// Caps Lock arrives as F19 because the hardware mapping is in force. The
// virtual clock moves 10 ms per event. The main-queue work that Caps Lock
// transitions post (the Hyper HUD requests) runs after each block, inside
// the timed region: its cost is part of the price of a transition.
//
// Counters (medians over the repetitions):
//   ns_per_event              wall time of the whole stream / events
//   cpu_ns_per_event          the benchmark thread's CPU time / events
//   allocs_per_event          heap allocations in the timed region / events
//   allocs_per_caps_transition allocations during F19 events / F19 events
//   allocs_per_other_event    allocations during every other event / those events
// The label carries hashes of the application output (events handleEvent
// kept) and of the posted events, so runs and builds can be compared. The
// output is hashed in a second, untimed run of the same stream on a fresh
// engine, so that the figures are the engine's alone.
//
// Three one-kind streams of the same size follow (40-event blocks of only P,
// only C or only T) to tell what each kind of event costs on its own.

#include "base/UserDefaults.h"
#include "exclusions/AppExclusionManager.h"
#include "launcher/AppLauncherManager.h"
#include "platform/HidKeyMapping.h"
#include "platform/sim/SimConsole.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"
#include "remapper/KeyRemapper.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <vector>

// --- Heap allocation counting ------------------------------------------------
// Every global operator new counts while g_counting is set; the flag is set
// only around the timed region.

namespace {
std::atomic<bool> g_counting{false};
std::atomic<uint64_t> g_allocations{0};

void* countedAlloc(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (size == 0)
        size = 1;
    return std::malloc(size);
}

void* countedAlignedAlloc(std::size_t size, std::align_val_t align)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    const auto a = static_cast<std::size_t>(align);
    const std::size_t rounded = (size + a - 1) / a * a;
    return std::aligned_alloc(a, rounded == 0 ? a : rounded);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* p = countedAlloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* p = countedAlloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new(std::size_t size, std::align_val_t align)
{
    if (void* p = countedAlignedAlloc(size, align))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align)
{
    if (void* p = countedAlignedAlloc(size, align))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace kestrune {
namespace {

constexpr int kBlocks = 250'000;
constexpr int kSmallBlocks = 25'000; // the one-kind streams
constexpr int kEventsPerBlock = 40;
constexpr Millis kEventSpacing{10};

// A hash step that any change in an event's fields or order shows up in.
inline uint64_t mix(uint64_t h, const KeyEvent& e)
{
    uint64_t v = (static_cast<uint64_t>(e.type) << 56) ^ (static_cast<uint64_t>(e.keyCode) << 40) ^ e.flags
               ^ (static_cast<uint64_t>(e.userData) * 0x9E3779B97F4A7C15ull);
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h * 0xFF51AFD7ED558CCDull;
}

// The main queue, as the benchmark thread sees it between blocks: work is
// kept in storage reserved up front and run at the end of every block (the
// benchmark thread then plays the main thread), so it never piles up and its
// bookkeeping allocates nothing.
class BenchScheduler final : public Scheduler {
public:
    BenchScheduler()
    {
        queued_.reserve(kCapacity);
        timed_.reserve(kCapacity);
    }

    Millis now() const override { return now_; }
    void advance(Millis d) { now_ += d; }

    void post(std::function<void()> work) override
    {
        if (queued_.size() == queued_.capacity())
            drain(); // never reached by the workload; keeps storage bounded
        queued_.push_back(std::move(work));
    }

    WorkItemPtr postAfter(Millis delay, std::function<void()> work) override
    {
        auto item = std::make_shared<WorkItem>();
        if (timed_.size() == timed_.capacity())
            drain();
        timed_.push_back(Timed{now_ + delay, Millis{0}, item, std::move(work)});
        return item;
    }

    WorkItemPtr repeat(Millis interval, std::function<void()> work) override
    {
        auto item = std::make_shared<WorkItem>();
        const Millis step = std::max(interval, Millis{1});
        timed_.push_back(Timed{now_ + step, step, item, std::move(work)});
        return item;
    }

    // Runs what was posted and the timed work now due.
    void drain()
    {
        while (!queued_.empty() || hasDueTimed()) {
            for (size_t i = 0; i < queued_.size(); ++i) // work may post more
                std::exchange(queued_[i], nullptr)();
            queued_.clear();
            runDueTimed();
        }
    }

    size_t pendingCount() const { return queued_.size() + timed_.size(); }

private:
    static constexpr size_t kCapacity = 256;

    struct Timed {
        Millis deadline;
        Millis interval; // zero: one-shot
        WorkItemPtr item;
        std::function<void()> work;
    };

    bool hasDueTimed() const
    {
        for (const Timed& t : timed_)
            if (!t.item->isCancelled() && t.deadline <= now_)
                return true;
        return false;
    }

    void runDueTimed()
    {
        std::erase_if(timed_, [](const Timed& t) { return t.item->isCancelled(); });
        for (size_t i = 0; i < timed_.size(); ++i) {
            Timed& t = timed_[i];
            if (t.deadline > now_ || t.item->isCancelled())
                continue;
            if (t.interval.count() == 0) {
                auto work = std::move(t.work);
                t.item->cancel(); // erased below
                work();
            } else {
                t.deadline += t.interval;
                t.work();
            }
        }
        std::erase_if(timed_, [](const Timed& t) { return t.item->isCancelled(); });
    }

    Millis now_{0};
    std::vector<std::function<void()>> queued_;
    std::vector<Timed> timed_;
};

// The synthetic events the engine posts: counted and hashed.
class BenchKeyboard final : public KeyboardEvents {
public:
    std::unique_ptr<EventTap> createTap(uint64_t, EventHandler&) override { return nullptr; }
    void post(const KeyEvent& event) override
    {
        ++count;
        hash = mix(hash, event);
    }

    uint64_t count = 0;
    uint64_t hash = 0xCBF29CE484222325ull;
};

class BenchHud final : public HudRequests {
public:
    void showHyperHUD(Millis) override { ++requests; }
    void hideHyperHUD() override { ++requests; }
    void setPendingHyperConfig(config::HyperKeyConfig) override {}
    void showInputModeHUD(InputMode) override { ++requests; }
    uint64_t requests = 0;
};

// Letters a…z in macOS virtual key codes.
constexpr std::array<KeyCode, 26> kLetters = {0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46,
                                              45, 31, 35, 12, 15, 1, 17, 32, 9, 13, 7, 16, 6};
// The keys chorded with Hyper: h j k l a s d f.
constexpr std::array<KeyCode, 8> kChordKeys = {4, 38, 40, 37, 0, 1, 2, 3};

// A block: 40 events of P (2 events), C (4) and T (2).
struct Workload {
    const char* pattern;
    int blocks;
};
constexpr Workload kWorkloads[] = {
    {"PPPPCPPPTPPPPCPPPT", kBlocks},   // typing with chords and lone taps
    {"PPPPPPPPPPPPPPPPPPPP", kSmallBlocks}, // letters only
    {"CCCCCCCCCC", kSmallBlocks},           // Hyper chords only
    {"TTTTTTTTTTTTTTTTTTTT", kSmallBlocks}, // lone taps only
};

// What a block gives: every event but F19 reaches the application, and a
// lone tap posts Escape down and up.
struct Expected {
    int output = 0;
    int posted = 0;
};
constexpr Expected expectedPerBlock(const char* pattern)
{
    Expected e;
    for (const char* g = pattern; *g; ++g) {
        e.output += *g == 'T' ? 0 : 2;
        e.posted += *g == 'T' ? 2 : 0;
    }
    return e;
}

// The stream repeats once both the letter and the chord-key turns come
// round: after at most lcm(26, 8) = 104 blocks. One period is built up front
// and replayed, so the timed loop does no generation beyond a copy.
constexpr int kPeriodBlocks = 104;

std::vector<KeyEvent> buildPeriod(const char* pattern)
{
    std::vector<KeyEvent> events;
    events.reserve(size_t{kPeriodBlocks} * kEventsPerBlock);
    size_t letter = 0;
    size_t chord = 0;
    auto press = [&](KeyCode code) {
        events.push_back({EventType::KeyDown, code, 0, 0});
        events.push_back({EventType::KeyUp, code, 0, 0});
    };
    for (int b = 0; b < kPeriodBlocks; ++b) {
        for (const char* g = pattern; *g; ++g) {
            switch (*g) {
            case 'P':
                press(kLetters[letter++ % kLetters.size()]);
                break;
            case 'C':
                events.push_back({EventType::KeyDown, kc::kVK_F19, 0, 0});
                press(kChordKeys[chord++ % kChordKeys.size()]);
                events.push_back({EventType::KeyUp, kc::kVK_F19, 0, 0});
                break;
            case 'T':
                press(kc::kVK_F19);
                break;
            }
        }
    }
    return events;
}

// The engine with its product collaborators on a bench platform. Defaults
// are the product's own, except a lone Caps Lock tap gives Escape.
struct Engine {
    BenchScheduler scheduler;
    BenchKeyboard keyboard;
    BenchHud hud;
    MemoryDefaults defaults;
    SimTranscript transcript{scheduler};
    SimConsole console{transcript};
    SimShell shell{transcript};
    SimDevices devices;
    SimWake wake;
    SimTrust trust;
    SimCapsLock capsLock{transcript};
    SimWorkspace workspace{scheduler};
    SimLoginItem loginItem;
    SimUpdates updates;
    Platform platform{scheduler, defaults, console, keyboard, shell, devices, wake,
                      trust,     capsLock, workspace, loginItem, updates};
    AppExclusionManager exclusions{defaults, workspace, scheduler};
    AppLauncherManager launcher{defaults, workspace, scheduler, console};
    KeyRemapper remapper{platform, KeyRemapper::Collaborators{&exclusions, &launcher, &hud, nullptr}};

    Engine()
    {
        remapper.setSinglePressConfig(SinglePressConfig::esc);
        // Caps Lock reaches the engine as F19 from here on.
        shell.run(kApplyMappingCommand);
        workspace.setFrontmost(QStringLiteral("com.apple.TextEdit"));
        scheduler.drain();
        transcript.clear();
    }
};

struct Totals {
    uint64_t outputCount = 0;
    uint64_t outputHash = 0xCBF29CE484222325ull;
    uint64_t capsAllocs = 0;
    uint64_t otherAllocs = 0;
    uint64_t capsEvents = 0;
    uint64_t otherEvents = 0;
};

// This thread's CPU time: on a busy machine, wall time also counts the time
// the thread waited for a core.
double threadCpuNanos()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// What runBlocks does besides handing each event to the engine.
enum class Pass {
    timed,     // counts what the engine kept, nothing more
    hashed,    // hashes what the engine kept
    attributed // counts the allocations of each event, by kind
};

// Runs `blocks` blocks of the stream from `at`, the benchmark thread playing
// the tap thread for each event and the main thread after each block.
template <Pass P>
void runBlocks(Engine& engine, const std::vector<KeyEvent>& period, size_t& at, int blocks, Totals& t)
{
    KeyRemapper& remapper = engine.remapper;
    BenchScheduler& scheduler = engine.scheduler;
    for (int block = 0; block < blocks; ++block) {
        if (at == period.size())
            at = 0;
        for (int i = 0; i < kEventsPerBlock; ++i, ++at) {
            KeyEvent event = period[at];
            scheduler.advance(kEventSpacing);
            if constexpr (P == Pass::attributed) {
                const bool isCaps = event.keyCode == kc::kVK_F19;
                const uint64_t before = g_allocations.load(std::memory_order_relaxed);
                const bool keep = remapper.handleEvent(event);
                const uint64_t spent = g_allocations.load(std::memory_order_relaxed) - before;
                (isCaps ? t.capsAllocs : t.otherAllocs) += spent;
                (isCaps ? t.capsEvents : t.otherEvents) += 1;
                if (keep)
                    ++t.outputCount;
            } else if (remapper.handleEvent(event)) {
                ++t.outputCount;
                if constexpr (P == Pass::hashed)
                    t.outputHash = mix(t.outputHash, event);
            }
        }
        scheduler.drain();
    }
}

void BM_HandleEvent(benchmark::State& state)
{
    const Workload& workload = kWorkloads[state.range(0)];
    const std::vector<KeyEvent> period = buildPeriod(workload.pattern);
    const int64_t events = int64_t{workload.blocks} * kEventsPerBlock;
    Engine engine; // fresh state each repetition, so the hashes repeat
    Totals t;
    size_t at = 0;
    for (auto _ : state) {
        const uint64_t allocsBefore = g_allocations.load();
        g_counting.store(true);
        const double cpuStart = threadCpuNanos();
        const auto start = std::chrono::steady_clock::now();
        runBlocks<Pass::timed>(engine, period, at, workload.blocks, t);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const double cpuNs = threadCpuNanos() - cpuStart;
        g_counting.store(false);
        const uint64_t allocs = g_allocations.load() - allocsBefore;

        const Expected e = expectedPerBlock(workload.pattern);
        const uint64_t postedCount = engine.keyboard.count;
        if (t.outputCount != uint64_t(workload.blocks) * uint64_t(e.output)
            || postedCount != uint64_t(workload.blocks) * uint64_t(e.posted)) {
            state.SkipWithError("the engine's output does not match the workload");
            break;
        }
        const uint64_t postedHash = engine.keyboard.hash;

        // Untimed: the same stream again on a fresh engine, hashed.
        {
            Engine twin;
            size_t twinAt = 0;
            Totals h;
            runBlocks<Pass::hashed>(twin, period, twinAt, workload.blocks, h);
            t.outputHash = h.outputHash;
        }

        // Untimed: one more period with each event's allocations attributed
        // to Caps Lock transitions or to the other keys.
        Totals a;
        g_counting.store(true);
        runBlocks<Pass::attributed>(engine, period, at, kPeriodBlocks, a);
        g_counting.store(false);

        auto ratio = [](uint64_t n, uint64_t d) { return d ? static_cast<double>(n) / static_cast<double>(d) : 0.0; };
        const double ns = std::chrono::duration<double, std::nano>(elapsed).count();
        state.counters["ns_per_event"] = ns / static_cast<double>(events);
        state.counters["cpu_ns_per_event"] = cpuNs / static_cast<double>(events);
        state.counters["allocs_per_event"] = ratio(allocs, uint64_t(events));
        state.counters["allocs_per_caps_transition"] = ratio(a.capsAllocs, a.capsEvents);
        state.counters["allocs_per_other_event"] = ratio(a.otherAllocs, a.otherEvents);

        char label[96];
        std::snprintf(label, sizeof label, "output_hash=%016llx posted_hash=%016llx",
                      static_cast<unsigned long long>(t.outputHash), static_cast<unsigned long long>(postedHash));
        state.SetLabel(label);
        static bool printed[std::size(kWorkloads)] = {};
        if (!printed[state.range(0)]) {
            std::fprintf(stderr, "engine_bench: %s: %lld events, %llu output, %llu posted, %s\n", workload.pattern,
                         static_cast<long long>(events), static_cast<unsigned long long>(t.outputCount),
                         static_cast<unsigned long long>(postedCount), label);
            printed[state.range(0)] = true;
        }
    }
    state.SetItemsProcessed(state.iterations() * events);
}

BENCHMARK(BM_HandleEvent)
    ->ArgName("stream")
    ->DenseRange(0, std::size(kWorkloads) - 1)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrune

BENCHMARK_MAIN();
