#include "zmomsg/zmomsg.h"

int main(int argc, char** argv) { return zmomsgMain(argc, argv); }
