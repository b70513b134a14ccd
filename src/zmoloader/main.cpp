#include "zmoloader/loader.h"

int main(int argc, char** argv) { return loaderMain(argc, argv); }
