#include "zmosnap/entry.h"

int main(int argc, char** argv) { return zmo::snap::snapMain(argc, argv); }
