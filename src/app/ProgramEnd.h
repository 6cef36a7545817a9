#pragma once

namespace sc {
class StoppableDialogs;
class TerminationSignals;
} // namespace sc

namespace sc::app {

class TConvertForm1;

// A request from the system to end the program (a logout, Ctrl+C) waits for nobody: from then
// on no dialog is shown (a question is taken as No, the print dialog as cancelled), one that is
// open closes, a running job ends as it would, and the window closes with its settings saved.
void endOnTerminationRequest(TerminationSignals& requests, StoppableDialogs& dialogs,
                             TConvertForm1& window);

} // namespace sc::app
