#include "zmomsg/zmomsg.h"

int main(int argc, char** argv) { return zmo::msg::zmomsgMain(argc, argv); }
