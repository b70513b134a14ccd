#include "zmosetval/zmosetval.h"

int main(int argc, char** argv) { return zmo::setval::setvalMain(argc, argv); }
