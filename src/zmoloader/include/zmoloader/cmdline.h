// The loader's command line:
//   zmoloader [-a] [-d] [-v vendor] [-p SNAP|STATI] [-s yyyymmdd] [-e yyyymmdd]
//             [-h ip] [-i pid] [-f file]
// Letters count in either case; a value is the next element.
#pragma once

namespace zmo::loader {

// Prints the usage text to standard output.
void loaderPrintUsage();

// Scans argv from the first argument into the state. Returns 0, or
// kLoaderExitError at the first error after its trace lines.
int loaderScanArgs(int argc, char** argv);

}  // namespace zmo::loader
