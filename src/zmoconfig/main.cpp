// zmoconfig: the configurator of the collectors and the loader.
#include "startup.h"

int main(int argc, char** argv) { return zmo::config::RunConfigurator(argc, argv); }
