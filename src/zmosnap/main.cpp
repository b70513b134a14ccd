#include "zmosnap/entry.h"

int main(int argc, char** argv) { return snapMain(argc, argv); }
