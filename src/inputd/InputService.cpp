#include "inputd/InputService.h"

#include "remapper/KeyRemapper.h"

#include <sys/socket.h>

namespace kestrune {

using namespace inputd;

namespace {

// The service follows no window and opens nothing itself: the client does.
class HeadlessWorkspace final : public Workspace {
public:
    std::optional<QString> frontmostBundleId() const override { return std::nullopt; }
    int addActivationObserver(ActivationHandler) override { return 0; }
    int addDeactivationObserver(ActivationHandler) override { return 0; }
    void removeObserver(int) override {}
    std::optional<AppIdentity> applicationAt(const QUrl&) const override { return std::nullopt; }
    void openApplication(const QUrl&, std::function<void(const QString&)> completion) override
    {
        if (completion)
            completion(QStringLiteral("The input service opens no applications."));
    }
    void openUrl(const QUrl&) override {}
    bool canTrackFrontmostApplication() const override { return false; }
};

class NoLoginItem final : public LoginItem {
public:
    LoginItemStatus status() const override { return LoginItemStatus::NotFound; }
    bool registerItem(QString*) override { return false; }
    bool unregisterItem(QString*) override { return false; }
};

class NoUpdates final : public UpdateFramework {
public:
    void startUpdater() override {}
    void checkForUpdates() override {}
};

std::optional<uint32_t> peerUid(QLocalSocket* socket)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0
        || size != sizeof credentials)
        return std::nullopt;
    return credentials.uid;
}

} // namespace

// Active while the engine may read keys; the engine grabs and lets go as it
// changes.
class InputService::Session final : public SessionMonitor {
public:
    bool isActive() const override { return active_; }
    void setActiveHandler(std::function<void(bool)> handler) override { handler_ = std::move(handler); }
    void set(bool active)
    {
        if (active == active_)
            return;
        active_ = active;
        if (handler_)
            handler_(active);
    }

private:
    bool active_ = false;
    std::function<void(bool)> handler_;
};

// Eisu and Kana for the client's input method, which only the client can
// reach: the request goes up, and the client shows the mode it reached.
class InputService::ClientInputMethod final : public QueuedInputMethod {
public:
    ClientInputMethod(Scheduler& scheduler, InputService& service) : QueuedInputMethod(scheduler), service_(service) {}
    void setReachable(bool reachable) { setAvailable(reachable); }

private:
    void begin(InputMode mode) override
    {
        // The request was taken on the tap thread before this pass.
        service_.sendEffect(InputModeRequest{mode}, service_.currentGeneration());
        finish(std::nullopt);
    }
    InputService& service_;
};

InputService::InputService(Machine machine, SeatSession& seat, QObject* parent)
    : QObject(parent)
    , machine_(machine)
    , seat_(seat)
    , session_(std::make_unique<Session>())
    , inputMethod_(std::make_unique<ClientInputMethod>(machine.scheduler, *this))
    , workspace_(std::make_unique<HeadlessWorkspace>())
    , loginItem_(std::make_unique<NoLoginItem>())
    , updates_(std::make_unique<NoUpdates>())
{
    platform_ = std::make_unique<Platform>(Platform{machine.scheduler, defaults_, machine.console, machine.keyboard,
                                                    machine.shell, machine.devices, machine.wake, machine.trust,
                                                    machine.capsLock, *workspace_, *loginItem_, *updates_,
                                                    session_.get(), inputMethod_.get()});
    remapper_ = std::make_unique<KeyRemapper>(*platform_,
                                              KeyRemapper::Collaborators{this, this, this, nullptr});
    connect(remapper_.get(), &KeyRemapper::tapStateChanged, this, &InputService::sendStatus);
    connect(remapper_.get(), &KeyRemapper::isEnabledChanged, this, &InputService::sendStatus);
    connect(&seat_, &SeatSession::changed, this, &InputService::seatChanged);
    connect(&server_, &QLocalServer::newConnection, this, &InputService::accept);
    if (machine_.keyboards)
        machine_.keyboards->changed = [this] { sendKeyboards(); };
    // Nothing is read until a client of the seat's user has configured it.
    remapper_->start();
}

InputService::~InputService()
{
    if (machine_.keyboards)
        machine_.keyboards->changed = nullptr;
    session_->set(false);
    remapper_->stop();
    remapper_->waitForTapThreadSettled();
    remapper_.reset();
}

bool InputService::listen(const QString& path, QString* error)
{
    QLocalServer::removeServer(path);
    // Anyone may connect; the peer's uid decides who is heard.
    server_.setSocketOptions(QLocalServer::WorldAccessOption);
    if (server_.listen(path))
        return true;
    if (error)
        *error = server_.errorString();
    return false;
}

void InputService::accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        const std::optional<uint32_t> uid = peerUid(socket);
        const std::optional<uint32_t> seatUid = seat_.activeUid();
        if (!uid) {
            refuse(socket, tr("The input service could not tell which user connected."));
            continue;
        }
        if (!seatUid) {
            refuse(socket, tr("No local session is in front at the seat: Kestrune remaps only for the user at the "
                              "keyboard."));
            continue;
        }
        if (*uid != *seatUid) {
            refuse(socket, tr("Another user's session is in front: Kestrune remaps only for the user at the "
                              "keyboard."));
            continue;
        }
        if (client_) {
            // The same user's newer Kestrune (a restart) takes over.
            QLocalSocket* old = client_;
            client_ = nullptr;
            refuse(old, tr("Another Kestrune of yours connected to the input service."));
        }
        machine_.console.printLine(QStringLiteral("kestrune-inputd: a client of uid %1 connected").arg(*uid));
        client_ = socket;
        clientUid_ = *uid;
        clientGeneration_.fetch_add(1, std::memory_order_acq_rel);
        decoder_ = FrameDecoder{};
        hasSettings_ = false;
        lastStatus_.reset();
        excluded_.store(false, std::memory_order_release);
        for (auto& word : boundKeys_)
            word.store(0, std::memory_order_release);
        connect(socket, &QLocalSocket::readyRead, this, &InputService::readClient);
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            if (socket == client_)
                dropClient(QStringLiteral("disconnected"));
            socket->deleteLater();
        });
        updateReading();
        sendStatus();
        sendKeyboards();
        readClient(); // what came with the connection
    }
}

void InputService::refuse(QLocalSocket* socket, const QString& reason)
{
    socket->write(encode(Status{Status::State::refused, reason}));
    socket->disconnectFromServer(); // after the write is flushed
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->state() == QLocalSocket::UnconnectedState)
        socket->deleteLater();
}

void InputService::readClient()
{
    if (!client_)
        return;
    decoder_.feed(client_->readAll());
    while (client_) {
        std::optional<Message> message = decoder_.next();
        if (!message)
            break;
        if (!isDown(*message)) {
            dropClient(QStringLiteral("sent a message only the service sends"));
            return;
        }
        handle(*message);
    }
    if (decoder_.failed())
        dropClient(decoder_.error());
}

void InputService::dropClient(const QString& why)
{
    QLocalSocket* socket = client_;
    client_ = nullptr;
    clientGeneration_.fetch_add(1, std::memory_order_acq_rel);
    hasSettings_ = false;
    machine_.console.printLine(QStringLiteral("kestrune-inputd: client of uid %1 %2").arg(clientUid_).arg(why));
    inputMethod_->setReachable(false);
    // The next user's choices are theirs to give; until then, and while no
    // one reads, nothing is grabbed anyway.
    if (machine_.keyboards)
        machine_.keyboards->setChoices({});
    updateReading();
    if (socket) {
        // Out now what was written to it (the refusal of a seat switch):
        // the deletion below can come before the socket is next writable,
        // and a socket deleted with bytes unwritten never sends them.
        socket->flush();
        socket->disconnectFromServer();
        socket->deleteLater();
    }
}

void InputService::handle(const Message& message)
{
    if (const auto* s = std::get_if<Settings>(&message)) {
        static_assert(kHyperKeyConfigCount == config::kAllHyperKeyConfigs.size());
        static_assert(kSinglePressConfigCount == config::kAllSinglePressConfigs.size());
        static_assert(kCmdEisuKanaConfigCount == config::kAllCmdEisuKanaConfigs.size());
        static_assert(kVimModeConfigCount == config::kAllVimModeConfigs.size());
        KeyRemapper& r = *remapper_;
        r.setIsHyperKeyEnabled(s->isHyperKeyEnabled);
        r.setHyperKeyConfig(config::kAllHyperKeyConfigs[s->hyperKeyConfig]);
        r.setIsSinglePressEnabled(s->isSinglePressEnabled);
        r.setSinglePressConfig(config::kAllSinglePressConfigs[s->singlePressConfig]);
        r.setIsCmdEisuKanaEnabled(s->isCmdEisuKanaEnabled);
        r.setCmdEisuKanaConfig(config::kAllCmdEisuKanaConfigs[s->cmdEisuKanaConfig]);
        r.setIsCapsLockDoubleTapEnabled(s->isCapsLockDoubleTapEnabled);
        r.setIsVimModeEnabled(s->isVimModeEnabled);
        r.setVimModeConfig(config::kAllVimModeConfigs[s->vimModeConfig]);
        inputMethod_->setReachable(s->hasInputMethod);
        r.setIsEnabled(s->isEnabled);
        hasSettings_ = true;
        updateReading();
        sendStatus();
    } else if (const auto* k = std::get_if<LauncherKeys>(&message)) {
        std::array<uint64_t, kKeyCodeLimit / 64> words{};
        for (uint16_t code : k->keyCodes)
            words[code / 64] |= uint64_t{1} << (code % 64);
        for (size_t i = 0; i < words.size(); ++i)
            boundKeys_[i].store(words[i], std::memory_order_release);
    } else if (const auto* e = std::get_if<Excluded>(&message)) {
        excluded_.store(e->excluded, std::memory_order_release);
    } else if (const auto* c = std::get_if<KeyboardChoiceList>(&message)) {
        if (machine_.keyboards) {
            KeyboardChoices choices;
            choices.remapNew = c->remapNew;
            for (const auto& [key, remap] : c->choices)
                choices.remap.emplace(key, remap);
            machine_.keyboards->setChoices(choices);
            sendKeyboards(); // and again once the choices have changed it
        }
    }
}

// The keyboards' names and kinds, for the client's Keyboards window.
void InputService::sendKeyboards()
{
    if (client_ && machine_.keyboards)
        send(Keyboards{machine_.keyboards->keyboards()});
}

void InputService::seatChanged()
{
    // For the journal: whom the service now reads for, as logind told it.
    if (const std::optional<uint32_t> uid = seat_.activeUid())
        machine_.console.printLine(QStringLiteral("kestrune-inputd: seat0's session %1 of uid %2 is in front")
                                       .arg(seat_.activeSessionId())
                                       .arg(*uid));
    else
        machine_.console.printLine(QStringLiteral("kestrune-inputd: no local session is in front at seat0"));
    if (client_ && seat_.activeUid() != clientUid_) {
        // Let go at once; the client hears why before it is closed.
        send(Status{Status::State::refused,
                    tr("Another session is in front: Kestrune remaps only for the user at the keyboard.")});
        dropClient(QStringLiteral("left the seat"));
    }
    updateReading();
}

void InputService::updateReading()
{
    const bool reading = client_ && hasSettings_ && seat_.activeUid() == clientUid_;
    if (reading == reading_)
        return;
    reading_ = reading;
    machine_.console.printLine(reading ? QStringLiteral("kestrune-inputd: reading the keyboards for uid %1").arg(clientUid_)
                                       : QStringLiteral("kestrune-inputd: keyboards released"));
    session_->set(reading);
    // The keys read for this client are done with before another client can
    // be taken: whatever its tap thread posted carries its generation and
    // is dropped on delivery.
    if (!reading)
        remapper_->waitForTapThreadSettled();
}

void InputService::sendStatus()
{
    if (!client_)
        return;
    Status status;
    if (!hasSettings_ || !reading_) {
        status.state = Status::State::waiting;
    } else if (!remapper_->isEnabled()) {
        status.state = Status::State::paused;
        // Only the chord's pause has a reason: the client pauses with it.
        if (remapper_->wasPausedByEmergency())
            status.reason = tr("The emergency chord was held: every key was released and the keyboards let go.");
    } else if (remapper_->hasEventTap()) {
        status.state = Status::State::remapping;
    } else if (remapper_->hasTapFailed() || remapper_->isPollingForTrust()) {
        status.state = Status::State::failing;
        status.reason = remapper_->tapFailureReason();
        if (status.reason.isEmpty())
            status.reason = tr("The input service cannot read the keyboards or write /dev/uinput. Check its udev "
                               "rule and its log: journalctl -u kestrune-inputd");
    } else {
        status.state = Status::State::waiting;
    }
    if (lastStatus_ == status)
        return;
    lastStatus_ = status;
    send(status);
}

void InputService::send(const Message& message)
{
    if (client_)
        client_->write(encode(message));
}

void InputService::sendEffect(const Message& message, uint64_t generation)
{
    // Only to the client the keys were read for, and only while they are.
    if (reading_ && generation == clientGeneration_.load(std::memory_order_acquire))
        send(message);
}

void InputService::showHyperHUD(Millis delay)
{
    const auto ms = static_cast<uint32_t>(std::clamp<int64_t>(delay.count(), 0, UINT32_MAX));
    sendEffect(Hud{Hud::Action::showHyper, ms, 0}, currentGeneration());
}

void InputService::hideHyperHUD() { sendEffect(Hud{Hud::Action::hideHyper, 0, 0}, currentGeneration()); }

void InputService::setPendingHyperConfig(config::HyperKeyConfig config)
{
    // Not a key: the client's own setting, shown while its HUD comes.
    send(Hud{Hud::Action::pendingHyper, 0, static_cast<uint8_t>(config)});
}

void InputService::showInputModeHUD(InputMode mode)
{
    // Any thread: the sending happens on the main thread.
    machine_.scheduler.post([self = self_, mode, generation = currentGeneration()] {
        if (self)
            self->sendEffect(Hud{Hud::Action::showInputMode, 0, static_cast<uint8_t>(mode == InputMode::kana ? 1 : 0)},
                             generation);
    });
}

bool InputService::launchShortcut(KeyCode keyCode)
{
    if (keyCode < 0 || keyCode >= kKeyCodeLimit)
        return false;
    const auto bit = static_cast<unsigned>(keyCode);
    if (!(boundKeys_[bit / 64].load(std::memory_order_acquire) & (uint64_t{1} << (bit % 64))))
        return false;
    machine_.scheduler.post([self = self_, code = static_cast<uint16_t>(keyCode), generation = currentGeneration()] {
        if (self)
            self->sendEffect(Launch{code}, generation);
    });
    return true;
}

} // namespace kestrune
