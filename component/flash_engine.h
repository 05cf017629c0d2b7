// Running a vendor's flash engine through the shell. The engine's output is
// appended to the component log (never truncating it), with descriptors 2
// and 3 sharing that one open file so no stream overwrites another.
#pragma once

#include <string>

// Appended to every engine command line; not shown where the command is logged.
extern const char kEngineOutputToLog[];

// "chmod 755 path": executable, and writable by its owner alone.
void MakeEngineExecutable(const std::string& path);

// Runs the command line with system() and returns the engine's code, 0 to
// 255: its exit status, 128 plus the signal number when it was killed (as a
// shell reports it), 255 when no shell could be started.
int RunFlashEngine(const std::string& commandLine);
