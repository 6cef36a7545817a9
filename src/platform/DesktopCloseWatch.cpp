#include "DesktopCloseWatch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstring>

#if QT_CONFIG(xcb) && defined(SC_HAVE_XCB)
#include <xcb/xcb.h>
#define SC_WATCH_XCB 1
#endif

namespace sc {

namespace {
// The layout of an X11 client message (32-bit format) as the wire and libxcb give it.
struct ClientMessage {
    quint8 responseType;
    quint8 format;
    quint16 sequence;
    quint32 window;
    quint32 type;
    quint32 data32[5];
};
constexpr quint8 kClientMessage = 33;
} // namespace

DesktopCloseWatch::DesktopCloseWatch(std::function<quintptr()> windowId,
                                     std::function<void()> onRequest)
    : windowId_(std::move(windowId)), onRequest_(std::move(onRequest)) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

DesktopCloseWatch::~DesktopCloseWatch() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool DesktopCloseWatch::isCloseRequest(const void* xcbEvent, quint32 window, quint32 protocolsAtom,
                                       quint32 deleteAtom) {
    ClientMessage m;
    std::memcpy(&m, xcbEvent, sizeof m);
    return (m.responseType & 0x7f) == kClientMessage && m.format == 32 && m.window == window &&
           protocolsAtom != 0 && m.type == protocolsAtom && m.data32[0] == deleteAtom;
}

bool DesktopCloseWatch::lookUpAtoms() {
#ifdef SC_WATCH_XCB
    if (atomsLooked_)
        return protocolsAtom_ != 0;
    atomsLooked_ = true;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return false;
    xcb_connection_t* c = x11->connection();
    auto intern = [c](const char* name) -> quint32 {
        const auto cookie = xcb_intern_atom(c, 1, std::strlen(name), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
        const quint32 atom = reply ? reply->atom : 0;
        std::free(reply);
        return atom;
    };
    protocolsAtom_ = intern("WM_PROTOCOLS");
    deleteAtom_ = intern("WM_DELETE_WINDOW");
    return protocolsAtom_ != 0;
#else
    return false;
#endif
}

bool DesktopCloseWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto type = static_cast<const quint8*>(message)[0] & 0x7f;
    if (type != kClientMessage || !lookUpAtoms())
        return false;
    const quintptr window = windowId_();
    if (window != 0 && isCloseRequest(message, quint32(window), protocolsAtom_, deleteAtom_))
        onRequest_();
    return false;
}

} // namespace sc
