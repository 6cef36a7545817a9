#include "platform/CommandGuard.h"

#include "platform/Error.h"
#include "platform/UserDialogs.h"

#include <exception>

namespace sc {

bool runGuarded(UserDialogs& dialogs, const std::function<void()>& command) {
    QString shown = kFailureMessage;
    try {
        command();
        return true;
    } catch (const Error& e) {
        // A picture that cannot be read reads the same to the user whatever is wrong with it;
        // a disk or folder failure names its file and cause.
        if (!e.shownText().isEmpty())
            shown = e.shownText();
    } catch (const std::exception&) {
    }
    dialogs.beep();
    dialogs.message(shown);
    return false;
}

} // namespace sc
