#pragma once

#include <QString>
#include <stdexcept>

namespace sc {

// The one failure type of the program: raised by picture work and file writes, caught once
// by the command that ran it (a job, a preview run) and never across a Qt event dispatch.
// A picture that cannot be read as a picture shows the format failure message; a failure with
// another cause (a full disk, a missing folder ...) carries the text the user sees instead.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
    Error(const QString& message, const QString& shown)
        : std::runtime_error(message.toStdString()), shown_(shown) {}

    QString message() const { return QString::fromStdString(what()); }
    // The Japanese text that names the file and the cause; empty for a picture's format.
    const QString& shownText() const { return shown_; }

private:
    QString shown_;
};

} // namespace sc
