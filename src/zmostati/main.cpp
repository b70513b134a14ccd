#include "zmostati/entry.h"

int main(int argc, char** argv) { return statiMain(argc, argv); }
