#pragma once
// The application's side of the input service: the connection to
// kestrune-inputd, and the platform pieces that stand for it where the
// in-process tap would be.
//
// InputServiceClient keeps one connection to the service's socket, made at
// once at construction (so that the first look at the access already knows)
// and made again every few seconds while it is down. It sends what the
// application configures and hands on what the service reports.
//
// ServiceKeyboard is the tap the engine makes: while the service can remap
// for us, a tap that only waits to be stopped (the keys are the service's);
// otherwise none, with the service's reason. ServiceTrust says the access is
// there while the service answers.
//
// Main thread, except createTap()/the tap's run() (the engine's tap thread)
// and ServiceTrust::isTrusted() (any thread), which read atomics and a
// locked copy of the reason.

#include "base/Scheduler.h"
#include "platform/EventTap.h"
#include "platform/System.h"
#include "platform/linux/InputServiceProtocol.h"

#include <QLocalSocket>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace kestrune {

class InputServiceClient final : public QObject {
    Q_OBJECT

public:
    enum class State {
        unreachable, // nothing listens: the service is stopped or not installed
        connected,   // it answered: see status() (it may have refused us and hung up)
    };

    InputServiceClient(Scheduler& scheduler, QString socketPath = QString::fromLatin1(inputd::kSocketPath),
                       QObject* parent = nullptr);
    ~InputServiceClient() override;

    State state() const { return state_; }
    // Any thread: the service answered last time (it may have refused us).
    bool isRunning() const { return running_.load(std::memory_order_acquire); }
    // The service's last word; meaningful while connected.
    const inputd::Status& status() const { return status_; }
    // Whether the service can remap for us now or is about to (connected,
    // and neither refusing nor failing).
    bool isUsable() const { return usable_.load(std::memory_order_acquire); }
    // Why not, in the user's words; empty while usable. Any thread.
    QString problem() const;
    QString socketPath() const { return path_; }

    // Sent while connected; dropped otherwise (all is sent again on connecting).
    void send(const inputd::Message& message);
    // Tries at once if not connected (our session came to the front).
    void reconnect();

    // How long to wait before trying to connect again.
    static constexpr Millis kRetryDelay{2000};

signals:
    // Connected (send the whole configuration now).
    void connected();
    // state(), status() or isUsable() changed.
    void stateChanged();
    // An effect the service asks for.
    void hudRequested(const kestrune::inputd::Hud& hud);
    void inputModeRequested(kestrune::InputMode mode);
    void launchRequested(int keyCode);
    void keyboardsReceived(const std::vector<kestrune::PresentKeyboard>& keyboards);

private:
    void connectNow();
    bool isConnected() const { return socket_.state() == QLocalSocket::ConnectedState; }
    void read();
    void lost(const QString& why);
    void setStatus(State state, const inputd::Status& status);
    void scheduleRetry();

    Scheduler& scheduler_;
    QString path_;
    QLocalSocket socket_;
    inputd::FrameDecoder decoder_;
    State state_ = State::unreachable;
    inputd::Status status_;
    std::atomic<bool> usable_{false};
    std::atomic<bool> running_{false};
    bool heard_ = false; // a status came on this connection
    bool first_ = true;  // the first connection, made in the constructor
    mutable std::mutex problemMutex_;
    QString problem_; // guarded by problemMutex_
    WorkItemPtr retry_;
};

class ServiceKeyboard final : public KeyboardEvents {
public:
    explicit ServiceKeyboard(const InputServiceClient& client) : client_(client) {}
    std::unique_ptr<EventTap> createTap(uint64_t mask, EventHandler& handler) override;
    QString tapFailureReason() const override { return reason_; }
    // The keys are the service's to type.
    void post(const KeyEvent&) override {}

private:
    const InputServiceClient& client_;
    QString reason_; // tap thread
};

// The keyboards the service has open, and the user's choices sent to it
// (again on every connection). Main thread.
class ServiceKeyboardRoster final : public QObject, public KeyboardRoster {
    Q_OBJECT
public:
    explicit ServiceKeyboardRoster(InputServiceClient& client);
    std::vector<PresentKeyboard> keyboards() const override { return list_; }
    void setChoices(const KeyboardChoices& choices) override;

private:
    void sendChoices();

    InputServiceClient& client_;
    KeyboardChoices choices_;
    std::vector<PresentKeyboard> list_;
};

class ServiceTrust final : public AccessibilityTrust {
public:
    // `showHowToStart` opens what starts the service (the access window).
    ServiceTrust(const InputServiceClient& client, std::function<void()> showHowToStart)
        : client_(client), showHowToStart_(std::move(showHowToStart))
    {
    }
    bool isTrusted() const override { return client_.isRunning(); }
    bool requestTrust() override { return isTrusted(); }
    void openTrustSettings() override
    {
        if (showHowToStart_)
            showHowToStart_();
    }

private:
    const InputServiceClient& client_;
    std::function<void()> showHowToStart_;
};

} // namespace kestrune
