#include "platform/linux/X11Clipboard.h"

#include "platform/linux/X11Connection.h"

#include <QDeadlineTimer>
#include <functional>
#include <poll.h>

namespace quorvale::platform {
namespace {

// More than any image the app would decode; an owner sending more is cut off.
constexpr qsizetype kMaxBytes = qsizetype(512) * 1024 * 1024;

class SelectionRequest {
public:
    SelectionRequest(int timeoutMs)
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_timeoutMs(timeoutMs) {
        if (xcb_connection_has_error(m_connection)) {
            return;
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
        m_clipboard = internAtom(m_connection, "CLIPBOARD");
        m_property = internAtom(m_connection, "QUORVALE_CLIPBOARD");
        m_incr = internAtom(m_connection, "INCR");
    }
    ~SelectionRequest() { xcb_disconnect(m_connection); }

    bool isConnected() const { return !xcb_connection_has_error(m_connection); }
    xcb_connection_t* connection() const { return m_connection; }

    // The bytes of `target` and their type; an error message instead when none came.
    QByteArray convert(xcb_atom_t target, xcb_atom_t* type, QString* error) {
        xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        bool refused = false;
        const bool answered = waitFor([&](const xcb_generic_event_t* event) {
            if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) {
                return false;
            }
            const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
            refused = notify->property == XCB_ATOM_NONE;
            return true;
        });
        if (!answered) {
            *error = QStringLiteral("the clipboard's owner did not answer within %1 seconds")
                         .arg(m_timeoutMs / 1000.0);
            return {};
        }
        if (refused) {
            return {};
        }
        QByteArray bytes = takeProperty(type);
        if (*type != m_incr) {
            return bytes;
        }
        // Large data comes in pieces, each announced by a new value of the property.
        bytes.clear();
        for (;;) {
            const bool more = waitFor([&](const xcb_generic_event_t* event) {
                const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                return (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                       change->atom == m_property && change->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!more) {
                *error = QStringLiteral("the clipboard's owner stopped sending its data");
                return {};
            }
            const QByteArray piece = takeProperty(type);
            if (piece.isEmpty()) {
                return bytes;
            }
            if (bytes.size() + piece.size() > kMaxBytes) {
                *error = QStringLiteral("the clipboard holds too much data");
                return {};
            }
            bytes += piece;
        }
    }

private:
    bool waitFor(const std::function<bool(const xcb_generic_event_t*)>& wanted) {
        QDeadlineTimer deadline(m_timeoutMs);
        for (;;) {
            while (
                XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection), &std::free}) {
                if (wanted(event.get())) {
                    return true;
                }
            }
            if (xcb_connection_has_error(m_connection) || deadline.hasExpired()) {
                return false;
            }
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&fd, 1, int(qMax<qint64>(1, deadline.remainingTime())));
        }
    }

    QByteArray takeProperty(xcb_atom_t* type) {
        XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, 1, m_window, m_property,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0,
                                                    uint32_t(kMaxBytes / 4)),
                                   nullptr),
            &std::free);
        xcb_flush(m_connection);
        if (!reply) {
            *type = XCB_ATOM_NONE;
            return {};
        }
        *type = reply->type;
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    }

    xcb_connection_t* m_connection;
    int m_timeoutMs;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
};

QString atomName(xcb_connection_t* c, xcb_atom_t atom) {
    XcbReply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr), &std::free);
    return reply ? QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                                       xcb_get_atom_name_name_length(reply.get()))
                 : QString();
}

} // namespace

Clipboard::Offered X11Clipboard::fetch(const Pick& pick) const {
    Offered offered;
    SelectionRequest request(m_timeoutMs);
    if (!request.isConnected()) {
        offered.error = QStringLiteral("cannot connect to the X server");
        return offered;
    }
    xcb_connection_t* c = request.connection();
    xcb_atom_t type = XCB_ATOM_NONE;
    const QByteArray targets = request.convert(internAtom(c, "TARGETS"), &type, &offered.error);
    QHash<QString, xcb_atom_t> atoms;
    const auto* list = reinterpret_cast<const xcb_atom_t*>(targets.constData());
    for (qsizetype i = 0; type == XCB_ATOM_ATOM && i < targets.size() / 4; ++i) {
        // Only MIME types; the rest (TARGETS, UTF8_STRING, ...) say nothing about images.
        const QString name = atomName(c, list[i]);
        if (name.contains(u'/') && !atoms.contains(name)) {
            offered.formats.append(name);
            atoms.insert(name, list[i]);
        }
    }
    for (const QString& format : pick(offered.formats)) {
        if (!offered.error.isEmpty()) {
            break;
        }
        offered.data.insert(format, request.convert(atoms.value(format), &type, &offered.error));
    }
    return offered;
}

} // namespace quorvale::platform
