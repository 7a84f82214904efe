#pragma once
// The input service's core: the engine over the machine's keyboards, with
// the application of the user at seat0 as its one client over a socket.
//
// It is the application's own engine (KeyRemapper) on a headless platform:
// its settings arrive from the client, and its heads-up displays, launcher
// and input-method ports send effects back to the client. Keys are read
// only while seat0's active local session belongs to the connected client's
// user and that client has sent its settings; at any other moment every key
// is released, every keyboard let go, and keys reach the desktop untouched.
//
// A connection is accepted only from the uid (SO_PEERCRED) that owns seat0's
// active local session; one client at a time, a newer one of the same user
// replacing the older. A client that sends anything the protocol does not
// allow is disconnected.
//
// Main thread only (the engine's tap thread reaches the ports, which hand
// their work to the main thread).

#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "inputd/SeatSession.h"
#include "platform/Platform.h"
#include "platform/QueuedInputMethod.h"
#include "platform/linux/InputServiceProtocol.h"
#include "remapper/EngineQueries.h"
#include "remapper/HudRequests.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>

#include <array>
#include <atomic>
#include <memory>
#include <optional>

namespace kestrune {

class KeyRemapper;

class InputService final : public QObject, private HudRequests, private ExclusionVerdict, private LaunchShortcuts {
    Q_OBJECT

public:
    // The pieces that reach the machine; they outlive the service.
    struct Machine {
        Scheduler& scheduler;
        Console& console;
        KeyboardEvents& keyboard;
        ShellRunner& shell;
        DeviceMonitor& devices;
        WakeNotifier& wake;
        AccessibilityTrust& trust;
        CapsLockState& capsLock;
        // Null where keyboards are not told apart (every one is remapped).
        KeyboardRoster* keyboards = nullptr;
    };

    InputService(Machine machine, SeatSession& seat, QObject* parent = nullptr);
    ~InputService() override;

    // Listens on `path` (a stale socket there is replaced). False with the
    // reason in `error` when it cannot.
    bool listen(const QString& path, QString* error);

    KeyRemapper& remapper() { return *remapper_; }
    // Whether the engine may read keys now (seat, client and settings agree).
    bool isReading() const { return reading_; }
    bool hasClient() const { return client_ != nullptr; }

private:
    class Session;
    class ClientInputMethod;

    void accept();
    void refuse(QLocalSocket* socket, const QString& reason);
    void readClient();
    void dropClient(const QString& why);
    void handle(const inputd::Message& message);
    void seatChanged();
    void updateReading();
    void sendStatus();
    void sendKeyboards();
    void send(const inputd::Message& message);
    // An effect of the keys read for the client of `generation`.
    void sendEffect(const inputd::Message& message, uint64_t generation);
    // Any thread.
    uint64_t currentGeneration() const { return clientGeneration_.load(std::memory_order_acquire); }

    // HudRequests
    void showHyperHUD(Millis delay) override;
    void hideHyperHUD() override;
    void setPendingHyperConfig(config::HyperKeyConfig config) override;
    void showInputModeHUD(InputMode mode) override;
    // ExclusionVerdict, LaunchShortcuts (tap thread)
    bool isCurrentAppExcluded() const override { return excluded_.load(std::memory_order_acquire); }
    bool launchShortcut(KeyCode keyCode) override;

    Machine machine_;
    SeatSession& seat_;
    MemoryDefaults defaults_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<ClientInputMethod> inputMethod_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<LoginItem> loginItem_;
    std::unique_ptr<UpdateFramework> updates_;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<KeyRemapper> remapper_;

    QLocalServer server_;
    QPointer<QLocalSocket> client_;
    uint32_t clientUid_ = 0;
    inputd::FrameDecoder decoder_;
    bool hasSettings_ = false;
    bool reading_ = false;
    std::optional<inputd::Status> lastStatus_;

    // Copied by the tap thread into the work it posts (a copy only counts a
    // reference, atomically).
    const QPointer<InputService> self_{this};
    // Bumped as a client comes and goes: effects posted for one client
    // never reach the next.
    std::atomic<uint64_t> clientGeneration_{0};
    std::atomic<bool> excluded_{false};
    std::array<std::atomic<uint64_t>, inputd::kKeyCodeLimit / 64> boundKeys_{};
};

} // namespace kestrune
