#pragma once
// A system tray of the test's own on an X server: it owns the tray selection,
// announces itself as the freedesktop tray protocol asks, docks the icon
// that a client requests into a strip at the top right of the screen (a
// light top bar, as under a light colour scheme), and can click it. Enough
// of a tray for the application to show its icon and open its panel from it.

#include <xcb/xcb.h>

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QDeadlineTimer>
#include <QString>
#include <optional>
#include <poll.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kestrune::test {

class FakeTrayHost {
public:
    static constexpr int kIconSize = 24;

    // With `ownTray` false it only watches the screen (no tray is offered).
    explicit FakeTrayHost(const QByteArray& display, bool ownTray = true)
    {
        int screenNumber = 0;
        connection_ = xcb_connect(display.constData(), &screenNumber);
        if (xcb_connection_has_error(connection_))
            return;
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        selection_ = atom("_NET_SYSTEM_TRAY_S0");
        opcode_ = atom("_NET_SYSTEM_TRAY_OPCODE");
        xembed_ = atom("_XEMBED");
        strip_ = xcb_generate_id(connection_);
        const uint32_t values[] = {screen_->white_pixel, 1, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        stripX_ = screen_->width_in_pixels - 3 * kIconSize;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, strip_, screen_->root, int16_t(stripX_), 0,
                          3 * kIconSize, kIconSize, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(connection_, strip_);
        // Window mappings on the screen wake waitFor below.
        const uint32_t rootMask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, rootMask);
        if (!ownTray) {
            xcb_flush(connection_);
            ready_ = true;
            return;
        }
        xcb_set_selection_owner(connection_, strip_, selection_, XCB_CURRENT_TIME);
        xcb_client_message_event_t manager{};
        manager.response_type = XCB_CLIENT_MESSAGE;
        manager.format = 32;
        manager.window = screen_->root;
        manager.type = atom("MANAGER");
        manager.data.data32[0] = XCB_CURRENT_TIME;
        manager.data.data32[1] = selection_;
        manager.data.data32[2] = strip_;
        xcb_send_event(connection_, 0, screen_->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&manager));
        xcb_flush(connection_);
        ready_ = true;
    }
    ~FakeTrayHost()
    {
        if (connection_)
            xcb_disconnect(connection_);
    }

    bool isReady() const { return ready_; }

    // Waits for a client's dock request and docks its icon; the icon window.
    std::optional<xcb_window_t> waitForIcon(int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const bool docked = handle(event);
                free(event);
                if (docked)
                    return icon_;
            }
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, int(std::max<qint64>(1, deadline.remainingTime())));
        }
        return std::nullopt;
    }

    // Waits, on the X server's events, until `done` holds.
    template <typename Done>
    bool waitFor(Done done, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                handle(event);
                free(event);
            }
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, int(std::clamp<qint64>(deadline.remainingTime(), 1, 250)));
        }
        return true;
    }

    // Where the docked icon's centre is on screen.
    QPoint iconCentre() const { return QPoint(stripX_ + kIconSize / 2, kIconSize / 2); }

    // A left click on the docked icon, as the X server would deliver it.
    void clickIcon()
    {
        for (uint8_t type : {uint8_t(XCB_BUTTON_PRESS), uint8_t(XCB_BUTTON_RELEASE)}) {
            xcb_button_press_event_t event{};
            event.response_type = type;
            event.detail = 1;
            event.root = screen_->root;
            event.event = icon_;
            event.child = XCB_NONE;
            event.event_x = kIconSize / 2;
            event.event_y = kIconSize / 2;
            event.root_x = int16_t(iconCentre().x());
            event.root_y = int16_t(iconCentre().y());
            event.same_screen = 1;
            event.state = type == XCB_BUTTON_RELEASE ? XCB_BUTTON_MASK_1 : 0;
            const uint32_t mask = type == XCB_BUTTON_PRESS ? uint32_t(XCB_EVENT_MASK_BUTTON_PRESS)
                                                           : uint32_t(XCB_EVENT_MASK_BUTTON_RELEASE);
            xcb_send_event(connection_, 0, icon_, mask, reinterpret_cast<const char*>(&event));
        }
        xcb_flush(connection_);
    }

    // A key press and release (an X keycode: the evdev code + 8) sent to the
    // mapped top-level window with this title, as the X server delivers it.
    bool pressKey(const QString& title, uint8_t keycode)
    {
        const xcb_window_t window = windowTitled(title);
        if (window == XCB_NONE)
            return false;
        for (uint8_t type : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)}) {
            xcb_key_press_event_t event{};
            event.response_type = type;
            event.detail = keycode;
            event.root = screen_->root;
            event.event = window;
            event.child = XCB_NONE;
            event.same_screen = 1;
            const uint32_t mask = type == XCB_KEY_PRESS ? uint32_t(XCB_EVENT_MASK_KEY_PRESS)
                                                        : uint32_t(XCB_EVENT_MASK_KEY_RELEASE);
            xcb_send_event(connection_, 0, window, mask, reinterpret_cast<const char*>(&event));
        }
        xcb_flush(connection_);
        return true;
    }

    // Gives the keyboard focus to the tray strip, as a click on another
    // window does: the window that had it loses its activation.
    void focusElsewhere()
    {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, strip_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

    // The mapped top-level window with this title, and its frame on screen.
    std::optional<QRect> mappedWindowTitled(const QString& title)
    {
        std::optional<QRect> found;
        const xcb_window_t window = windowTitled(title);
        if (window == XCB_NONE)
            return found;
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        if (geometry)
            found = QRect(geometry->x, geometry->y, geometry->width, geometry->height);
        free(geometry);
        return found;
    }

    // The mapped top-level window with this title; XCB_NONE when none.
    xcb_window_t windowTitled(const QString& title)
    {
        xcb_window_t found = XCB_NONE;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, screen_->root), nullptr);
        if (!tree)
            return found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_NONE; ++i) {
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                connection_, xcb_get_window_attributes(connection_, children[i]), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            if (viewable && nameOf(children[i]) == title)
                found = children[i];
        }
        free(tree);
        return found;
    }

    // What the screen shows in `area` (a 24-bit screen).
    QImage grab(const QRect& area)
    {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root, int16_t(area.x()), int16_t(area.y()),
                          uint16_t(area.width()), uint16_t(area.height()), ~0u),
            nullptr);
        if (!reply)
            return {};
        const QImage view(xcb_get_image_data(reply), area.width(), area.height(), area.width() * 4,
                          QImage::Format_RGB32);
        QImage copy = view.copy();
        free(reply);
        return copy;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    }

    QString nameOf(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr);
        QString name;
        if (reply)
            name = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                     xcb_get_property_value_length(reply));
        free(reply);
        return name;
    }

    bool handle(xcb_generic_event_t* event)
    {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return false;
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        constexpr uint32_t kRequestDock = 0;
        if (message->type != opcode_ || message->data.data32[1] != kRequestDock)
            return false;
        icon_ = message->data.data32[2];
        xcb_reparent_window(connection_, icon_, strip_, 0, 0);
        const uint32_t size[] = {kIconSize, kIconSize};
        xcb_configure_window(connection_, icon_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        xcb_map_window(connection_, icon_);
        // Tells the icon it is embedded, so it reports its place on screen.
        xcb_client_message_event_t embedded{};
        embedded.response_type = XCB_CLIENT_MESSAGE;
        embedded.format = 32;
        embedded.window = icon_;
        embedded.type = xembed_;
        embedded.data.data32[0] = XCB_CURRENT_TIME;
        embedded.data.data32[1] = 0; // XEMBED_EMBEDDED_NOTIFY
        embedded.data.data32[3] = strip_;
        xcb_send_event(connection_, 0, icon_, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&embedded));
        xcb_flush(connection_);
        return true;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    xcb_atom_t opcode_ = XCB_ATOM_NONE;
    xcb_atom_t xembed_ = XCB_ATOM_NONE;
    xcb_window_t strip_ = XCB_NONE;
    xcb_window_t icon_ = XCB_NONE;
    int stripX_ = 0;
    bool ready_ = false;
};

} // namespace kestrune::test
