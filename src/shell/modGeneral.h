#pragma once

class QApplication;

// The desktop program's entry routine: the title window for three seconds,
// then the main window until it is closed. Returns the exit code.
int Main(QApplication& application);
