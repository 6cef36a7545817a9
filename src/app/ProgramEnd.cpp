#include "ProgramEnd.h"

#include "Changewindow1.h"
#include "platform/StoppableDialogs.h"
#include "platform/TerminationSignals.h"

namespace sc::app {

void endOnTerminationRequest(TerminationSignals& requests, StoppableDialogs& dialogs,
                             TConvertForm1& window) {
    QObject::connect(&requests, &TerminationSignals::received, &window, [&dialogs, &window] {
        dialogs.stop();
        window.endProgram();
    });
}

} // namespace sc::app
