#include "zmoloader/loader.h"

int main(int argc, char** argv) { return zmo::loader::loaderMain(argc, argv); }
