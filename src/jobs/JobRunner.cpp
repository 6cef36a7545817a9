#include "JobRunner.h"

#include "JobTexts.h"
#include "platform/UserDialogs.h"

#include <exception>

namespace sc::jobs {

bool runGuarded(UserDialogs& dialogs, const std::function<void()>& job) {
    try {
        job();
        return true;
    } catch (const std::exception&) {
        // Every failure reads the same to the user; the status line keeps the last progress.
    }
    dialogs.beep();
    dialogs.message(kFailureMessage);
    return false;
}

} // namespace sc::jobs
