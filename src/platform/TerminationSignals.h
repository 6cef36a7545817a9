#pragma once

#include <QObject>

class QSocketNotifier;

namespace sc {

// A request from the system to end the program — SIGTERM at a desktop logout or shutdown,
// SIGINT from a terminal — arrives as received() on the thread that made this object, so the
// program can close as on a normal close. Only the first request is caught: a second one ends
// the program as it would have without this. One instance at a time; on systems without these
// signals received() is never raised.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace sc
