#pragma once

#include <QAbstractNativeEventFilter>
#include <QtGlobal>
#include <functional>

namespace sc {

// Reports the desktop's requests to close one window as the window system delivers them.
//
// On X11, Qt counts the window manager's close message as user input: while a job lets events
// through with user input excluded, the message waits, and it is then dropped if a modal
// question is up when it is finally handled. Watching the messages themselves lets the window
// remember the request and honour it when the job ends. Elsewhere the close arrives as an
// ordinary close event and this watch reports nothing.
class DesktopCloseWatch : public QAbstractNativeEventFilter {
public:
    // `windowId` gives the native id of the watched window (0 while it has none); `onRequest`
    // runs for each close request to it. Installs itself on the running application.
    DesktopCloseWatch(std::function<quintptr()> windowId, std::function<void()> onRequest);
    ~DesktopCloseWatch() override;
    DesktopCloseWatch(const DesktopCloseWatch&) = delete;
    DesktopCloseWatch& operator=(const DesktopCloseWatch&) = delete;

    // Never consumes the message: Qt handles it as it would without the watch.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // Whether an X11 client message (an xcb event) is WM_PROTOCOLS / WM_DELETE_WINDOW for
    // `window`, given the two atoms' values.
    static bool isCloseRequest(const void* xcbEvent, quint32 window, quint32 protocolsAtom,
                               quint32 deleteAtom);

private:
    bool lookUpAtoms();

    std::function<quintptr()> windowId_;
    std::function<void()> onRequest_;
    quint32 protocolsAtom_ = 0;
    quint32 deleteAtom_ = 0;
    bool atomsLooked_ = false;
};

} // namespace sc
