// The configurator's start: the application object, the splash, the event
// loop, and the forms left at the end.
#pragma once

// Runs the configurator and returns the program's exit code.
int RunConfigurator(int argc, char** argv);
