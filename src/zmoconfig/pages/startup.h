// The configurator's start: the application object, the splash, the event
// loop, and the forms left at the end.
#pragma once

namespace zmo::config {

// Runs the configurator and returns the program's exit code.
int RunConfigurator(int argc, char** argv);

}  // namespace zmo::config
