#pragma once

#include <QtGlobal>

// What the machine the program runs on offers.
namespace sc::machine {

// The machine's physical memory in bytes; 0 when the system does not say.
qint64 physicalMemoryBytes();

} // namespace sc::machine
