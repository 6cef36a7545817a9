#pragma once

#include "platform/CommandGuard.h"

namespace sc::jobs {

// The page of the window that decides which job the OK command runs.
enum class JobPage { Jpeg, Album, Print, None };

// Runs one job inside the one failure guard: any failure it raises ends it with the alert
// sound and the failure message; files already written stay, the closing steps do not run,
// the status line keeps the last progress. Returns false when the job failed.
using sc::runGuarded;

} // namespace sc::jobs
