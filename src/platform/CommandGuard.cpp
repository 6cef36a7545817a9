#include "platform/CommandGuard.h"

#include "platform/UserDialogs.h"

#include <exception>

namespace sc {

bool runGuarded(UserDialogs& dialogs, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception&) {
        // Every failure reads the same to the user.
    }
    dialogs.beep();
    dialogs.message(kFailureMessage);
    return false;
}

} // namespace sc
