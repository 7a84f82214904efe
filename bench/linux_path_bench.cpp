// The whole Linux key path per event: raw evdev events written into a
// keyboard's pipe, read by the tap thread, translated, handled by the engine,
// modifiers synced and written to the virtual keyboard's pipe, and read back
// by a reader thread. Only the devices are pipes (PipeEvdevIo); everything
// else is the product's code.
//
// Workload: 10,000,000 key events in blocks of 40: ten iterations, each
// replaying the same 1,000,000.
// A block is the groups PPPPCPPPTPPPPCPPPT, where
//   P  a letter down and up (a…z in turn),
//   C  Caps Lock down, X down, X up, Caps Lock up (X from h j k l a s d f in
//      turn: h j k l become arrows, a s d f get the Hyper modifiers),
//   T  Caps Lock down and up: a lone tap, which gives Escape.
// Each key event is sent as a USB keyboard reports it (MSC_SCAN, EV_KEY,
// SYN_REPORT). Settings are the defaults except that a lone tap gives
// Escape; the Caps Lock mapping is in force. The main queue (the Hyper HUD
// requests the engine posts) is run by the feeding thread between chunks,
// inside the timed region.
//
// Counters:
//   ns_per_event   wall time from the first event written to the last output
//                  event read, divided by the key events sent
//   out_per_event  events the virtual keyboard wrote per key event sent
//                  (a check on the workload: 88 per block of 40)

#include "base/UserDefaults.h"
#include "base/VirtualScheduler.h"
#include "platform/linux/LinuxCapsLock.h"
#include "platform/linux/LinuxInputTrust.h"
#include "platform/linux/LinuxKeyboard.h"
#include "platform/linux/LinuxShellRunner.h"
#include "platform/linux/PipeLinuxPlatform.h"
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
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kestrune {
namespace {

constexpr int kEventsPerBlock = 40;
constexpr int kBlocksPerIteration = 25'000; // 1,000,000 key events
constexpr int kIterations = 10;             // 10,000,000 in all
constexpr int kBlocksPerChunk = 50;         // written, then the main queue runs
constexpr const char* kPattern = "PPPPCPPPTPPPPCPPPT";

constexpr std::array<uint16_t, 26> kLetters = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                                               KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                                               KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
constexpr std::array<uint16_t, 8> kChordKeys = {KEY_H, KEY_J, KEY_K, KEY_L, KEY_A, KEY_S, KEY_D, KEY_F};

// Key events sent and output events expected for one stretch of blocks.
struct Stream {
    std::vector<input_event> input;
    uint64_t keyEvents = 0;
    uint64_t outputEvents = 0;
};

// Built once, before timing, and replayed by every iteration.
Stream buildStream(int blocks)
{
    Stream s;
    size_t letter = 0;
    size_t chord = 0;
    auto key = [&](uint16_t code, int value) {
        s.input.push_back({{}, EV_MSC, MSC_SCAN, 0x70000 + code});
        s.input.push_back({{}, EV_KEY, code, value});
        s.input.push_back({{}, EV_SYN, SYN_REPORT, 0});
        ++s.keyEvents;
    };
    for (int b = 0; b < blocks; ++b) {
        for (const char* g = kPattern; *g; ++g) {
            switch (*g) {
            case 'P': {
                const uint16_t code = kLetters[letter++ % kLetters.size()];
                key(code, 1);
                key(code, 0);
                s.outputEvents += 4; // each key event and its SYN_REPORT
                break;
            }
            case 'C': {
                const size_t turn = chord++ % kChordKeys.size();
                key(KEY_CAPSLOCK, 1);
                key(kChordKeys[turn], 1);
                key(kChordKeys[turn], 0);
                key(KEY_CAPSLOCK, 0);
                // An arrow alone, or the key inside four modifiers each way.
                s.outputEvents += turn < 4 ? 4 : 20;
                break;
            }
            case 'T':
                key(KEY_CAPSLOCK, 1);
                key(KEY_CAPSLOCK, 0);
                s.outputEvents += 4; // Escape down and up
                break;
            }
        }
    }
    return s;
}

struct Engine : PipeLinuxPlatform {
    PipeKeyboard& kbd = io.addKeyboard("/dev/input/event0");
    std::unique_ptr<KeyRemapper> remapper;

    bool start()
    {
        defaults.setValue(QStringLiteral("singlePressConfig"), QStringLiteral("esc"));
        remapper = std::make_unique<KeyRemapper>(platform, KeyRemapper::Collaborators{});
        remapper->start();
        remapper->waitForTapThreadSettled();
        scheduler.runDue(); // the Caps Lock mapping comes into force
        return remapper->hasEventTap() && keyboard.settle() && mapping.toF19();
    }
    ~Engine()
    {
        if (remapper) {
            remapper->stop();
            remapper->waitForTapThreadSettled();
        }
    }
};

// Reads the output pipe until `expected` events have come; false when none
// arrives for a long while (a fault, not a measurement).
bool readOutput(int fd, uint64_t expected, std::atomic<uint64_t>& received)
{
    std::vector<char> buffer(1 << 16);
    uint64_t bytes = 0;
    while (bytes / sizeof(input_event) < expected) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10'000) <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0)
            bytes += static_cast<uint64_t>(n);
        else if (n == 0)
            return false;
    }
    received.store(bytes / sizeof(input_event));
    return true;
}

void BM_LinuxKeyPath(benchmark::State& state)
{
    Engine engine;
    if (!engine.start()) {
        state.SkipWithError("the tap did not start");
        return;
    }
    const Stream stream = buildStream(kBlocksPerIteration);
    const size_t chunk = size_t{kBlocksPerChunk} * kEventsPerBlock * 3; // input_events per chunk
    const int outFd = engine.io.outputFd();

    double totalNs = 0;
    uint64_t totalEvents = 0;
    uint64_t totalOutput = 0;
    for (auto _ : state) {
        std::atomic<uint64_t> received{0};
        bool ok = false;
        const auto start = std::chrono::steady_clock::now();
        std::thread reader([&] { ok = readOutput(outFd, stream.outputEvents, received); });
        for (size_t at = 0; at < stream.input.size(); at += chunk) {
            const size_t n = std::min(chunk, stream.input.size() - at);
            engine.kbd.send(std::span(stream.input).subspan(at, n));
            engine.scheduler.runDue();
        }
        reader.join();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        engine.scheduler.runDue();
        if (!ok || received.load() != stream.outputEvents) {
            state.SkipWithError("the virtual keyboard's output differs from the workload's");
            return;
        }
        const double ns = std::chrono::duration<double, std::nano>(elapsed).count();
        state.SetIterationTime(ns / 1e9);
        totalNs += ns;
        totalEvents += stream.keyEvents;
        totalOutput += received.load();
    }
    state.counters["ns_per_event"] = totalNs / static_cast<double>(totalEvents);
    state.counters["out_per_event"] = static_cast<double>(totalOutput) / static_cast<double>(totalEvents);
    state.counters["events"] = static_cast<double>(totalEvents);
}

BENCHMARK(BM_LinuxKeyPath)->Iterations(kIterations)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrune

BENCHMARK_MAIN();
