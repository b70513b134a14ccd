#include "zmosetval/zmosetval.h"

int main(int argc, char** argv) { return setvalMain(argc, argv); }
