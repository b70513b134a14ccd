// The loader's trace log in BinDir (trace_zmoldr.log). A line is written only
// while the registry value SnapDebug exists (whatever its text); the file is
// opened for each line and rolled over once at the start of a run.
#pragma once

#include "common/pipeline.h"

namespace zmo::loader {

constexpr const char* kLoaderLogName =
    zmo::pipelineProgram(zmo::PipelineProgram::kLoader).trace_log;
constexpr const char* kLoaderOldLogName =
    zmo::pipelineProgram(zmo::PipelineProgram::kLoader).trace_old;
// The caller's text is formatted into a buffer of this size; longer texts
// are cut.
constexpr int kLoaderLineMax = 1024;

// printf-style; the texts carry their own "\n", which reaches the file as
// CR LF after the local-time prefix. Without SnapDebug it prints
// "loaderLog, NOT Debug mode" to standard output instead. A log that cannot
// be opened (no BinDir yet) loses the line. Returns the characters of the
// caller's text written, or 0.
int loaderLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Rolls <BinDir>/<log_name> to <BinDir>/<old_name> when it has reached the
// registry value LoaderLogSize (kilobytes). Returns 0, or kLoaderExitError
// when LoaderLogSize is missing.
int CheckLogSize(const char* log_name, const char* old_name);

// The two error lines that end a run: "ERROR - ERROR: <text>" and
// "ERROR - ERROR: Execution halting". Returns kLoaderExitError.
int loaderHalt(const char* text);

}  // namespace zmo::loader
