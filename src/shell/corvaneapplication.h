#pragma once

// Builds the real platform services and the main window, shows it and runs
// until the window closes. Returns the program's exit status.
int RunCorvane(int &argc, char **argv);
