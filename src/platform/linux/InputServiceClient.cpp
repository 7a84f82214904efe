#include "platform/linux/InputServiceClient.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace kestrune {

using namespace inputd;

namespace {

// A tap that only waits: the service reads and types the keys.
class WaitingTap final : public EventTap {
public:
    void run() override
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_; });
    }
    void stop() override
    {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }
    void setEnabled(bool) override {}

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopped_ = false;
};

} // namespace

InputServiceClient::InputServiceClient(Scheduler& scheduler, QString socketPath, QObject* parent)
    : QObject(parent), scheduler_(scheduler), path_(std::move(socketPath))
{
    connect(&socket_, &QLocalSocket::readyRead, this, &InputServiceClient::read);
    connect(&socket_, &QLocalSocket::disconnected, this, [this] {
        read(); // its last word (a refusal) may still be waiting
        lost(QString());
    });
    connectNow();
}

InputServiceClient::~InputServiceClient()
{
    if (retry_)
        retry_->cancel();
    socket_.disconnect(this);
    socket_.abort();
}

QString InputServiceClient::problem() const
{
    std::lock_guard lock(problemMutex_);
    return problem_;
}

void InputServiceClient::connectNow()
{
    retry_.reset();
    decoder_ = FrameDecoder{};
    heard_ = false;
    const bool first = std::exchange(first_, false);
    // A local socket connects or fails at once. The first time, the
    // service's greeting is awaited too, so that the application's first
    // look at the keyboard already knows where it stands.
    socket_.connectToServer(path_);
    if (socket_.waitForConnected(500)) {
        setStatus(State::connected, state_ == State::connected ? status_ : Status{Status::State::waiting, {}});
        emit connected();
        if (first)
            socket_.waitForReadyRead(500);
        read();
        return;
    }
    socket_.abort();
    setStatus(State::unreachable, {});
    scheduleRetry();
}

void InputServiceClient::scheduleRetry()
{
    if (retry_)
        return;
    retry_ = scheduler_.postAfter(kRetryDelay, [self = QPointer<InputServiceClient>(this)] {
        if (self)
            self->connectNow();
    });
}

void InputServiceClient::send(const Message& message)
{
    if (isConnected())
        socket_.write(encode(message));
}

void InputServiceClient::reconnect()
{
    if (isConnected())
        return;
    if (retry_)
        retry_->cancel();
    connectNow();
}

void InputServiceClient::read()
{
    decoder_.feed(socket_.readAll());
    while (std::optional<Message> message = decoder_.next()) {
        if (isDown(*message))
            return lost(tr("The input service sent a message it should not send."));
        if (const auto* status = std::get_if<Status>(&*message)) {
            heard_ = true;
            setStatus(State::connected, *status);
        }
        else if (const auto* hud = std::get_if<Hud>(&*message))
            emit hudRequested(*hud);
        else if (const auto* mode = std::get_if<InputModeRequest>(&*message))
            emit inputModeRequested(mode->mode);
        else if (const auto* launch = std::get_if<Launch>(&*message))
            emit launchRequested(launch->keyCode);
        else if (const auto* keyboards = std::get_if<Keyboards>(&*message))
            emit keyboardsReceived(keyboards->keyboards);
    }
    if (decoder_.failed())
        lost(tr("The input service speaks another version of the protocol (%1). Install matching versions of "
                "Kestrune and its input service.")
                 .arg(decoder_.error()));
}

void InputServiceClient::lost(const QString& why)
{
    if (retry_)
        return; // already lost
    // Quietly: its own disconnected signal must not come back here.
    socket_.blockSignals(true);
    socket_.abort();
    socket_.blockSignals(false);
    Status last = status_;
    if (!why.isEmpty())
        last = Status{Status::State::failing, why};
    // A refusal is the service's last word and says more than "gone".
    if (last.state == Status::State::refused || !why.isEmpty())
        setStatus(State::connected, last);
    else
        setStatus(State::unreachable, {});
    scheduleRetry();
}

void InputServiceClient::setStatus(State state, const Status& status)
{
    QString problem;
    bool usable = false;
    if (state == State::unreachable) {
        problem = tr("Kestrune's input service is not running.");
    } else {
        switch (status.state) {
        case Status::State::remapping:
        case Status::State::paused:
        case Status::State::waiting:
            usable = isConnected() && heard_;
            break;
        case Status::State::failing:
        case Status::State::refused:
            // The service has no catalogue of its own; its fixed texts are
            // in ours, under its name. Others show as it wrote them.
            problem = QCoreApplication::translate("kestrune::InputService", status.reason.toUtf8().constData());
            break;
        }
        if (!usable && problem.isEmpty())
            problem = isConnected() ? tr("Kestrune's input service has not answered yet.")
                                    : tr("Kestrune's input service stopped.");
    }
    const bool changed = state != state_ || status != status_ || usable != usable_.load();
    state_ = state;
    running_.store(state == State::connected, std::memory_order_release);
    status_ = status;
    {
        std::lock_guard lock(problemMutex_);
        problem_ = problem;
    }
    usable_.store(usable, std::memory_order_release);
    if (changed)
        emit stateChanged();
}

std::unique_ptr<EventTap> ServiceKeyboard::createTap(uint64_t, EventHandler&)
{
    if (client_.isUsable()) {
        reason_.clear();
        return std::make_unique<WaitingTap>();
    }
    reason_ = client_.problem();
    return nullptr;
}

ServiceKeyboardRoster::ServiceKeyboardRoster(InputServiceClient& client)
    : client_(client)
{
    connect(&client_, &InputServiceClient::connected, this, &ServiceKeyboardRoster::sendChoices);
    connect(&client_, &InputServiceClient::keyboardsReceived, this, [this](const std::vector<PresentKeyboard>& list) {
        list_ = list;
        if (changed)
            changed();
    });
    // Away or refusing, the service lists nothing for us.
    connect(&client_, &InputServiceClient::stateChanged, this, [this] {
        if (client_.isUsable() || list_.empty())
            return;
        list_.clear();
        if (changed)
            changed();
    });
}

void ServiceKeyboardRoster::setChoices(const KeyboardChoices& choices)
{
    choices_ = choices;
    sendChoices();
}

// The keyboards present first: should the list not fit in one message, the
// ones left out are absent ones, and a keyboard plugged in later is asked
// about again.
void ServiceKeyboardRoster::sendChoices()
{
    KeyboardChoiceList message;
    message.remapNew = choices_.remapNew;
    std::vector<std::pair<std::string, bool>> later;
    for (const auto& [key, remap] : choices_.remap) {
        const bool present =
            std::any_of(list_.begin(), list_.end(), [&](const PresentKeyboard& k) { return k.answersTo(key); });
        (present ? message.choices : later).emplace_back(key, remap);
    }
    std::sort(later.begin(), later.end());
    message.choices.insert(message.choices.end(), later.begin(), later.end());
    client_.send(message);
}

} // namespace kestrune
