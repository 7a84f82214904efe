#include "platform/linux/X11ActiveWindow.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace kestrune {

struct X11ActiveWindow::Atoms {
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t supported = XCB_ATOM_NONE;
    xcb_atom_t gtkApplicationId = XCB_ATOM_NONE;
    xcb_atom_t kdeDesktopFile = XCB_ATOM_NONE;
    xcb_atom_t pid = XCB_ATOM_NONE;
};

namespace {

struct Property {
    bool exists = false;
    std::uint8_t format = 0;
    QByteArray value;
};

xcb_get_property_cookie_t askProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t atom, std::uint32_t words)
{
    return xcb_get_property(c, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, words);
}

Property takeProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie)
{
    xcb_generic_error_t* error = nullptr; // a window that is gone by now
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, &error);
    std::free(error);
    Property p;
    if (!reply)
        return p;
    p.exists = reply->type != XCB_ATOM_NONE;
    p.format = reply->format;
    p.value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return p;
}

std::uint32_t word(const Property& p, int index)
{
    if (p.format != 32 || p.value.size() < (index + 1) * 4)
        return 0;
    std::uint32_t w = 0;
    std::memcpy(&w, p.value.constData() + index * 4, 4);
    return w;
}

QString text(const Property& p) { return QString::fromUtf8(p.value).trimmed(); }

xcb_atom_t intern(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

QString localHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name);
}

} // namespace

X11ActiveWindow::X11ActiveWindow(const QByteArray& display)
{
    int screen = 0;
    xcb_connection_t* c = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screen);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    root_ = it.data->root;

    auto ask = [c](const char* name) { return xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name); };
    const auto active = ask("_NET_ACTIVE_WINDOW");
    const auto supported = ask("_NET_SUPPORTED");
    const auto gtk = ask("_GTK_APPLICATION_ID");
    const auto kde = ask("_KDE_NET_WM_DESKTOP_FILE");
    const auto pid = ask("_NET_WM_PID");
    atoms_ = std::make_unique<Atoms>();
    atoms_->activeWindow = intern(c, active);
    atoms_->supported = intern(c, supported);
    atoms_->gtkApplicationId = intern(c, gtk);
    atoms_->kdeDesktopFile = intern(c, kde);
    atoms_->pid = intern(c, pid);

    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readEvents(); });
    refresh();
    // Events read while waiting for the replies above sit in xcb's queue,
    // where the socket notifier cannot see them.
    readEvents();
}

X11ActiveWindow::~X11ActiveWindow()
{
    notifier_.reset();
    retired_.clear();
    if (connection_)
        xcb_disconnect(connection_);
}

void X11ActiveWindow::readEvents()
{
    if (!connection_)
        return;
    bool dirty = false;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                if (notify->window == root_ && (notify->atom == atoms_->activeWindow || notify->atom == atoms_->supported))
                    dirty = true;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection_)) {
            disconnectBroken();
            return;
        }
        if (!dirty)
            return;
        dirty = false;
        const bool wasTracking = tracking_;
        const std::uint32_t previous = window_;
        refresh(); // its round trips may queue further events: read on
        if (tracking_ != wasTracking || window_ != previous)
            changed();
    }
}

bool X11ActiveWindow::readTracking(std::uint32_t* window)
{
    const auto activeCookie = xcb_get_property(connection_, 0, root_, atoms_->activeWindow, XCB_ATOM_WINDOW, 0, 1);
    const auto supportedCookie = askProperty(connection_, root_, atoms_->supported, 4096);
    const Property active = takeProperty(connection_, activeCookie);
    const Property supported = takeProperty(connection_, supportedCookie);
    *window = word(active, 0);
    if (active.exists)
        return true;
    for (int i = 0; i < supported.value.size() / 4; ++i)
        if (word(supported, i) == atoms_->activeWindow)
            return true;
    return false;
}

void X11ActiveWindow::refresh()
{
    std::uint32_t window = 0;
    tracking_ = readTracking(&window);
    if (!tracking_)
        window = 0;
    if (window == window_)
        return;
    window_ = window;
    if (window)
        active_ = readHints(window);
    else
        active_.reset();
}

WindowHints X11ActiveWindow::readHints(std::uint32_t window)
{
    xcb_connection_t* c = connection_;
    const auto wmClass = askProperty(c, window, XCB_ATOM_WM_CLASS, 256);
    const auto gtk = askProperty(c, window, atoms_->gtkApplicationId, 256);
    const auto kde = askProperty(c, window, atoms_->kdeDesktopFile, 256);
    const auto pid = xcb_get_property(c, 0, window, atoms_->pid, XCB_ATOM_CARDINAL, 0, 1);
    const auto machine = askProperty(c, window, XCB_ATOM_WM_CLIENT_MACHINE, 256);

    WindowHints hints;
    const QList<QByteArray> classParts = takeProperty(c, wmClass).value.split('\0');
    hints.instance = classParts.value(0).isEmpty() ? QString() : QString::fromLatin1(classParts.value(0));
    hints.windowClass = classParts.value(1).isEmpty() ? QString() : QString::fromLatin1(classParts.value(1));
    hints.applicationId = text(takeProperty(c, gtk));
    if (const QString kdeFile = text(takeProperty(c, kde)); hints.applicationId.isEmpty())
        hints.applicationId = kdeFile;
    const std::uint32_t processId = word(takeProperty(c, pid), 0);
    // A process id means something only on the machine the client runs on.
    const QString clientMachine = text(takeProperty(c, machine));
    if (clientMachine.isEmpty() || clientMachine == localHostName())
        hints.executable = DesktopApplications::executableOfProcess(processId);
    return hints;
}

void X11ActiveWindow::disconnectBroken()
{
    // The server is gone: its socket stays readable, so stop watching it.
    notifier_->setEnabled(false);
    retired_.push_back(std::move(notifier_));
    xcb_disconnect(connection_);
    connection_ = nullptr;
    const bool wasTracking = tracking_;
    tracking_ = false;
    window_ = 0;
    active_.reset();
    if (wasTracking)
        changed();
}

} // namespace kestrune
