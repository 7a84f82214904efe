#include "platform/linux/SwayActiveWindow.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>

#include <cstring>

namespace kestrune {

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr qsizetype kMagicSize = 6;
constexpr qsizetype kHeaderSize = kMagicSize + 8;

// Message types; events have the high bit set.
constexpr std::uint32_t kSubscribe = 2;
constexpr std::uint32_t kGetTree = 4;
constexpr std::uint32_t kEventBit = 0x80000000u;
constexpr std::uint32_t kWorkspaceEvent = kEventBit | 0;
constexpr std::uint32_t kWindowEvent = kEventBit | 3;

// How long the constructor waits for the first answer.
constexpr int kStartWaitMs = 2000;
// Far above any real message (a tree of hundreds of windows is a few
// hundred KiB); a longer one would only have the buffer grow while waiting.
constexpr std::uint32_t kMaxMessageBytes = 4 * 1024 * 1024;

QString textOf(const QJsonValue& value) { return value.isString() ? value.toString() : QString(); }

// Depth first, in the order sway lists them: tiled nodes, then floating ones.
std::optional<QJsonObject> findFocused(const QJsonObject& node)
{
    if (node.value(QLatin1String("focused")).toBool())
        return node;
    for (const char* key : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(QLatin1String(key)).toArray())
            if (auto found = findFocused(child.toObject()))
                return found;
    return std::nullopt;
}

} // namespace

SwayActiveWindow::SwayActiveWindow(const QString& socketPath)
    : socket_(std::make_unique<QLocalSocket>())
{
    if (socketPath.isEmpty())
        return;
    socket_->connectToServer(socketPath);
    if (!socket_->waitForConnected(kStartWaitMs))
        return;
    // Subscribed first, so that nothing between the tree and the
    // subscription is missed; the tree answer is the later state.
    send(kSubscribe, QByteArrayLiteral(R"(["window","workspace"])"));
    send(kGetTree, {});
    const QDeadlineTimer deadline(kStartWaitMs);
    bool answered = false;
    while (!answered && socket_->state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        if (socket_->bytesAvailable() == 0 && !socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        buffer_ += socket_->readAll();
        answered = readMessages();
    }
    if (!answered || socket_->state() != QLocalSocket::ConnectedState) {
        socket_->abort();
        return;
    }
    tracking_ = true;
    QObject::connect(socket_.get(), &QLocalSocket::readyRead, socket_.get(), [this] {
        buffer_ += socket_->readAll();
        readMessages();
    });
    QObject::connect(socket_.get(), &QLocalSocket::disconnected, socket_.get(), [this] { lost(); });
}

SwayActiveWindow::~SwayActiveWindow()
{
    socket_->disconnect();
    socket_->abort();
}

void SwayActiveWindow::send(std::uint32_t type, const QByteArray& payload)
{
    QByteArray message(kMagic, kMagicSize);
    const auto length = static_cast<std::uint32_t>(payload.size());
    message.append(reinterpret_cast<const char*>(&length), 4); // the IPC uses the host's byte order
    message.append(reinterpret_cast<const char*>(&type), 4);
    message.append(payload);
    socket_->write(message);
    socket_->flush();
}

bool SwayActiveWindow::readMessages()
{
    bool treeAnswered = false;
    bool broken = false;
    while (buffer_.size() >= kHeaderSize) {
        broken = !buffer_.startsWith(QByteArrayView(kMagic, kMagicSize));
        if (broken)
            break;
        std::uint32_t length = 0;
        std::uint32_t type = 0;
        std::memcpy(&length, buffer_.constData() + kMagicSize, 4);
        std::memcpy(&type, buffer_.constData() + kMagicSize + 4, 4);
        broken = length > kMaxMessageBytes;
        if (broken || buffer_.size() < kHeaderSize + qsizetype(length))
            break;
        const QByteArray payload = buffer_.mid(kHeaderSize, length);
        buffer_.remove(0, kHeaderSize + length);
        handle(type, payload);
        treeAnswered = treeAnswered || type == kGetTree;
    }
    if (broken) {
        // Not the protocol we speak: stop rather than guess, and read
        // nothing more from that peer.
        drop();
        return false;
    }
    return treeAnswered;
}

void SwayActiveWindow::handle(std::uint32_t type, const QByteArray& payload)
{
    const QJsonObject message = QJsonDocument::fromJson(payload).object();
    if (type == kGetTree) {
        const std::optional<QJsonObject> focused = findFocused(message);
        setActive(focused ? hintsOf(*focused) : std::nullopt,
                  focused ? focused->value(QLatin1String("id")).toInteger(-1) : -1);
        return;
    }
    const QString change = textOf(message.value(QLatin1String("change")));
    if (type == kWindowEvent) {
        const QJsonObject container = message.value(QLatin1String("container")).toObject();
        const qint64 id = container.value(QLatin1String("id")).toInteger(-1);
        if (change == QLatin1String("focus"))
            setActive(hintsOf(container), id);
        else if (change == QLatin1String("close") && id == activeId_)
            send(kGetTree, {}); // focus moves on, and the focus event may not say where
    } else if (type == kWorkspaceEvent && change == QLatin1String("focus")) {
        send(kGetTree, {}); // an empty workspace has no window to announce
    }
}

void SwayActiveWindow::setActive(std::optional<WindowHints> hints, qint64 containerId)
{
    activeId_ = hints ? containerId : -1;
    const bool same = hints == active_;
    active_ = std::move(hints);
    if (!same && tracking_)
        changed();
}

void SwayActiveWindow::drop()
{
    socket_->disconnect();
    socket_->abort();
    buffer_.clear();
    lost();
}

void SwayActiveWindow::lost()
{
    if (!tracking_)
        return;
    tracking_ = false;
    active_.reset();
    activeId_ = -1;
    changed();
}

std::optional<WindowHints> SwayActiveWindow::hintsOf(const QJsonObject& container)
{
    const QJsonObject x11 = container.value(QLatin1String("window_properties")).toObject();
    const QString appId = textOf(container.value(QLatin1String("app_id")));
    if (appId.isEmpty() && x11.isEmpty())
        return std::nullopt; // a workspace, an output, or a split container
    WindowHints hints;
    hints.applicationId = appId;
    hints.windowClass = textOf(x11.value(QLatin1String("class")));
    hints.instance = textOf(x11.value(QLatin1String("instance")));
    hints.executable = DesktopApplications::executableOfProcess(
        static_cast<quint32>(container.value(QLatin1String("pid")).toInteger(0)));
    return hints;
}

std::optional<WindowHints> SwayActiveWindow::focusedIn(const QJsonObject& tree)
{
    const std::optional<QJsonObject> focused = findFocused(tree);
    return focused ? hintsOf(*focused) : std::nullopt;
}

} // namespace kestrune
