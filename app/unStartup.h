// The program's entry sequence and its end.
#pragma once

#include <QString>

// Runs the program from the executable `programFileName` on the running QApplication, with the desktop
// services installed: the data module, the single-instance test (a second start ends here with 0, having
// shown the running window and written nothing), the main window and the message loop. SIGTERM, SIGINT,
// SIGHUP and the end of the desktop session run the orderly shutdown of File > Exit. Answers the exit code.
int RunProgram(const QString &programFileName);
