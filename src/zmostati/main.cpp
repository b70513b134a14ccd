#include "zmostati/entry.h"

int main(int argc, char** argv) { return zmo::stati::statiMain(argc, argv); }
