#pragma once
// The focused window of sway (or another compositor speaking i3's IPC): window
// and workspace events on the IPC socket, and the tree asked for at start and
// after a workspace change. A Wayland window is known by its app_id, an
// Xwayland one by its X11 class and instance; both carry the process id.
//
// Main thread only. The initial state is read before the constructor returns
// (a short wait on the socket); everything after arrives through the event loop.

#include "platform/linux/ActiveWindowSource.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <memory>

class QLocalSocket;

namespace kestrune {

class SwayActiveWindow final : public ActiveWindowSource {
public:
    // Connects to the IPC socket at `socketPath` (SWAYSOCK).
    explicit SwayActiveWindow(const QString& socketPath);
    ~SwayActiveWindow() override;

    bool isTracking() const override { return tracking_; }
    const std::optional<WindowHints>& active() const override { return active_; }

    // The hints of a container as the IPC describes it; nullopt for a
    // container that is no window (a workspace, an output).
    static std::optional<WindowHints> hintsOf(const QJsonObject& container);
    // The focused node of a tree reply, as hintsOf describes it.
    static std::optional<WindowHints> focusedIn(const QJsonObject& tree);

private:
    void send(std::uint32_t type, const QByteArray& payload);
    // Handles every complete message read so far; true once a tree reply was handled.
    bool readMessages();
    void handle(std::uint32_t type, const QByteArray& payload);
    void setActive(std::optional<WindowHints> hints, qint64 containerId);
    // Closes the connection after a message that breaks the protocol.
    void drop();
    void lost();

    std::unique_ptr<QLocalSocket> socket_;
    QByteArray buffer_;
    bool tracking_ = false;
    std::optional<WindowHints> active_;
    qint64 activeId_ = -1;
};

} // namespace kestrune
