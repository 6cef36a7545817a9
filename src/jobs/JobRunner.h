#pragma once

#include <functional>

namespace sc {
class UserDialogs;
}

namespace sc::jobs {

// The page of the window that decides which job the OK command runs.
enum class JobPage { Jpeg, Album, Print, None };

// Runs one job inside the one failure guard: any failure it raises ends it with the alert
// sound and the failure message; files already written stay, the closing steps do not run.
// Returns false when the job failed.
bool runGuarded(UserDialogs& dialogs, const std::function<void()>& job);

} // namespace sc::jobs
