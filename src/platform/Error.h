#pragma once

#include <QString>
#include <stdexcept>

namespace sc {

// The one failure type of the program: raised by picture work and file writes, caught once
// by the command that ran it (a job, a preview run) and never across a Qt event dispatch.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

} // namespace sc
