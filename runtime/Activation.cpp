#include "Activation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef ZENTAVO_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace runtime {

Activation Activation::fromEnvironment()
{
    return Activation{qEnvironmentVariable("XDG_ACTIVATION_TOKEN"),
                      qEnvironmentVariable("DESKTOP_STARTUP_ID")};
}

#ifdef ZENTAVO_HAVE_XCB
namespace {

struct Disconnect
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

struct Free
{
    void operator()(void *reply) const { std::free(reply); }
};

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, Free> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The time of the X server now: the time stamp of a property change on a window of our own, the
// way the window manager itself learns the time.
xcb_timestamp_t serverTime(xcb_connection_t *connection, xcb_window_t root)
{
    const xcb_window_t probe = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, probe, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, probe, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                        8, 0, nullptr);
    xcb_flush(connection);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
        if (found)
            time = reinterpret_cast<xcb_property_notify_event_t *>(event)->time;
        std::free(event);
        if (found)
            break;
    }
    xcb_destroy_window(connection, probe);
    return time;
}

// The time a startup id carries ("..._TIME<time>"), which the desktop took from the person's
// action that started the command.
xcb_timestamp_t startupTime(const QString &startupId)
{
    const qsizetype at = startupId.lastIndexOf(QStringLiteral("_TIME"));
    if (at < 0)
        return XCB_CURRENT_TIME;
    bool ok = false;
    const uint time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : XCB_CURRENT_TIME;
}

void sendToRoot(xcb_connection_t *connection, xcb_window_t root,
                const xcb_client_message_event_t &message)
{
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

// Ends the startup notification of this id (the launcher's busy pointer), as the window that
// answers it: the message "remove: ID=<id>" broadcast in pieces of 20 bytes.
void endStartupNotification(xcb_connection_t *connection, xcb_window_t root, const QString &id)
{
    QByteArray text = "remove: ID=\"";
    for (const char c : id.toUtf8()) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += c;
    }
    text += "\"";
    text += '\0';
    const xcb_window_t sender = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, sender, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < text.size(); at += 20) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 8;
        message.window = sender;
        message.type = at == 0 ? begin : more;
        std::memcpy(message.data.data8, text.constData() + at,
                    static_cast<size_t>(std::min<qsizetype>(20, text.size() - at)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&message));
    }
    xcb_destroy_window(connection, sender);
}

void activateOnX11(QWidget *window, const Activation &activation)
{
    // A connection of its own: Qt's reads its events on another thread, and the time stamp comes
    // as an event.
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) != 0) {
        window->activateWindow();
        return;
    }
    xcb_connection_t *x = connection.get();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const auto target = static_cast<xcb_window_t>(window->winId());
    if (!activation.startupId.isEmpty()) {
        const QByteArray id = activation.startupId.toUtf8();
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, target, atom(x, "_NET_STARTUP_ID"),
                            atom(x, "UTF8_STRING"), 8, static_cast<uint32_t>(id.size()),
                            id.constData());
    }
    xcb_timestamp_t time = startupTime(activation.startupId);
    if (time == XCB_CURRENT_TIME)
        time = serverTime(x, root);

    // Source 1: an application asks, for a request of the person's at that time.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = target;
    message.type = atom(x, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 1;
    message.data.data32[1] = time;
    message.data.data32[2] = XCB_NONE;
    sendToRoot(x, root, message);
    if (!activation.startupId.isEmpty())
        endStartupNotification(x, root, activation.startupId);
    xcb_flush(x);
    // Waits until the server has taken the requests before the connection closes.
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
}

} // namespace
#endif

void activateWindow(QWidget *window, const Activation &activation)
{
    window->show();
    window->raise();
    const QString platform = QGuiApplication::platformName();
#ifdef ZENTAVO_HAVE_XCB
    if (platform == QLatin1String("xcb")) {
        activateOnX11(window, activation);
        return;
    }
#endif
    // Qt's Wayland support hands the compositor the token it finds in the environment when the
    // window asks to be activated, and then takes it out again.
    if (platform.startsWith(QLatin1String("wayland")) && !activation.token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activation.token.toUtf8());
    window->activateWindow();
}

} // namespace runtime
