// The batch files of a run, written from one table of steps per database
// kind and program.
#pragma once

#include <string>
#include <vector>

namespace zmo::loader {

// The lines of the batch that runs the tools: zmoload_<x>.bat, or for the
// Corva kind its second batch zmoload2_<x>.bat. With -a it also writes the
// aggregation script at the point of its line. Returns 0, or
// kLoaderExitError for a kind outside the table.
int buildLoadBatch(std::vector<std::string>* lines);
// The lines of the first batch file, zmoload_<x>.bat: the load batch, or for
// the Corva kind the one that opens the Corva command window.
int buildFirstBatch(std::vector<std::string>* lines);

// Writes every file of the kind in the state: the kind's load files, the
// batch files and, with -a, the aggregation script. Returns 0 or
// kLoaderExitError.
int writeKindFiles();

}  // namespace zmo::loader
