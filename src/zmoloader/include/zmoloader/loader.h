// zmoloader: writes the load files, SQL scripts and batch files that move a
// collector's handed-over data into the warehouse, sends the start message
// through zmomsg and starts the first batch file.
#pragma once

namespace zmo::loader {

// The whole program; returns the exit code (0 the run ended, 1 no argument
// or an unknown program, 99 every other error).
int loaderMain(int argc, char** argv);

// Sends the start message through <BinDir>/zmomsg and waits for it.
void loaderSendStartMessage();
// Starts the first batch file, unless LoadDebug is "True" or -d was given.
// Returns 0, or kLoaderExitError when LoadDebug cannot be read.
int loaderStartBatch();

}  // namespace zmo::loader
