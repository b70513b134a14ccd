// zmosetval: sets one registry value, or deletes one value or a whole key
// with its subkeys, under any of the six root keys.
//
//   zmosetval [-d] [-b] [-h <registry_hive>] -k {<key> | @filename}
//             -n <value_name> -v {<value_string> | @filename}
//
// Every run leaves "clicfg.err <status>" in <TEMP>/clicfe.err; the status is
// also the exit code: 0 done, -1 registry operation failed, 1 an @file could
// not be opened or read, 2 wrong usage.
#pragma once

#include <cstdio>
#include <string>

#include "common/pipeline.h"
#include "platform/registry.h"

namespace zmo::setval {

// Run statuses (also the exit code and the number in the status file).
constexpr int kSetvalOk = 0;
constexpr int kSetvalRegistryFailed = -1;
constexpr int kSetvalFileFailed = 1;
constexpr int kSetvalUsage = 2;

// A key or value read from an @file holds at most this many bytes.
constexpr std::size_t kSetvalFileMax = 1023;

// The option letters of the scanner. A blank and "o" are accepted by the
// scanner but are no option of the program, so they end in wrong usage.
constexpr const char* kSetvalOptString = "bh:v:n:k:d :o ";

// Name and text of the status file in the TEMP directory.
constexpr const char* kSetvalStatusFile = "clicfe.err";
constexpr const char* kSetvalStatusText = "clicfg.err";

// State of the option scanner: the next element and the position in it.
struct SetvalScanner {
  int optind = 1;                // next element of argv to scan
  int sp = 1;                    // next letter within a grouped element
  const char* optarg = nullptr;  // value of the last option that takes one
};

// Returns the next option letter, '?' after an error (its message already
// printed to out with the program's name), or -1 when the options end: at the
// first element that is no option, at "-", or after "--".
int setvalGetopt(SetvalScanner* s, int argc, char* const argv[], const char* opts, const char* prog,
                 std::FILE* out);

// What the command line asked for.
struct SetvalOptions {
  bool del = false;
  bool binary = false;
  HKEY root = HKEY_LOCAL_MACHINE;
  bool has_key = false;
  bool has_name = false;
  bool has_value = false;
  std::string key;
  std::string value_name;
  std::string value;  // text, or the bytes of a binary @file
  int errors = 0;     // scanner errors, unknown letters and root names
};

// The process-wide state of one run, reset at the start of setvalMain.
struct SetvalState {
  SetvalOptions opt;
  SetvalScanner scan;
  // argv[0] after its last '/'; the program's name until it is read.
  std::string prog = zmo::pipelineProgram(zmo::PipelineProgram::kSetval).executable;
};
SetvalState& setvalState();
void setvalReset();

// The root key of a -h name (any case), or nullptr for a name outside the six.
HKEY setvalRootByName(const char* name);

// Scans argv into the state's options. Returns 0 when the run is accepted
// (no error, -k given, and -d or both -v and -n), else kSetvalUsage.
int setvalParseArgs(int argc, char** argv);

// Prints the usage text to standard error.
void usage();

// Reads an @file: at most kSetvalFileMax bytes, line ends included. Text mode
// reads CR LF as LF, as the C runtime's text mode does. Returns 0, 1 when the
// file cannot be opened, 2 when nothing could be read.
int setvalReadFile(const char* path, bool binary, std::string* out);

// Finds value_name among the values of key without regard to case. Returns
// its index and sets *type, or -1 when it is not there.
int findRegValue(const char* key_name, const char* value_name, HKEY key, DWORD* type);

// Creates or opens key under root and stores the value. Returns 0 or -1.
int setvalSetValue(HKEY root, const char* key, const char* value_name, const std::string& data,
                   bool binary);

// Deletes the subkeys of key, depth first. Returns 0 or -1.
int deleteKeyTree(HKEY key, const char* key_name);

// Deletes the value value_name of key, or with value_name nullptr the whole
// key with its subkeys. Returns 0 or -1.
int deleteRegEntry(HKEY root, const char* key, const char* value_name);

// TEMP, or the default directory when TEMP is unset or empty.
std::string getTempDir();
// Creates path, and its parents when needed. An existing directory counts as
// success. Returns 0 or -1.
int makeDir(const char* path);
// Creates every parent directory of path in turn.
int makeParentDirs(const char* path);
// Writes the status file (skipped silently when that fails) and returns status.
int writeExitStatus(int status);

// The whole run; returns the status that becomes the exit code.
int setvalMain(int argc, char** argv);

}  // namespace zmo::setval
