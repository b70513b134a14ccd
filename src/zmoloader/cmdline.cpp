#include "zmoloader/cmdline.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "common/pipeline.h"
#include "zmoloader/state.h"
#include "zmoloader/text_ops.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// Longest -p and -f values kept.
constexpr size_t kValueMax = 99;

// A date argument: 8 decimal digits.
int CheckDate(const std::string& value, const char* what) {
  std::string line;
  if (value.size() != 8) {
    line = std::string(what) + " not correct, expecting yyyymmdd format";
    return loaderHalt(line.c_str());
  }
  if (!isNumeric(value)) {
    line = std::string(what) + " not Numeric, expecting yyyymmdd format";
    return loaderHalt(line.c_str());
  }
  return 0;
}

int TakeAddress(const std::string& value) {
  LoaderState& s = loaderState();
  loaderLog("Process IP address argument=%s\n", value.c_str());
  // The address ends up in table names, SQL and batch lines.
  if (!isIpv4Address(value)) {
    return loaderHalt("IP address not correct, expecting a dotted IPv4 address");
  }
  s.ip = value;
  s.ip_given = 1;
  loaderLog("Process IP address as a key=%s\n", makeIpKey(value).c_str());
  return 0;
}

int TakePid(const std::string& value) {
  LoaderState& s = loaderState();
  loaderLog("Process PID argument=%s\n", value.c_str());
  if (!isDecimalPid(value)) return loaderHalt("PID not correct, expecting decimal digits");
  s.pid = value;
  s.pid_given = 1;
  loaderLog("Process PID as a key=%s\n", makePidKey(value).c_str());
  return 0;
}

// The options that take the next element as their value.
bool TakesValue(char letter) {
  for (char option : {zmo::kLoaderOptionEnd, zmo::kLoaderOptionStart, zmo::kLoaderOptionFile,
                      zmo::kLoaderOptionHost, zmo::kLoaderOptionPid, zmo::kLoaderOptionProgram,
                      zmo::kLoaderOptionVendor}) {
    if (letter == option) return true;
  }
  return false;
}

// One option with its value (nullptr when no element follows).
int TakeOption(char letter, const char* value) {
  LoaderState& s = loaderState();
  switch (letter) {
    case zmo::kLoaderOptionEnd:
      if (value == nullptr) return CheckDate("", "End date");
      s.end_date = value;
      loaderLog("End Date=<%s>\n", value);
      return CheckDate(s.end_date, "End date");
    case zmo::kLoaderOptionStart:
      if (value == nullptr) return CheckDate("", "Start date");
      s.start_date = value;
      loaderLog("Start Date=<%s>\n", value);
      return CheckDate(s.start_date, "Start date");
    case zmo::kLoaderOptionFile:
      // The file name has no effect; without one there is nothing to log.
      if (value == nullptr) return 0;
      s.file_name = std::string(value).substr(0, kValueMax);
      loaderLog("Process file argument=%s\n", s.file_name.c_str());
      return 0;
    case zmo::kLoaderOptionHost:
      if (value == nullptr) return loaderHalt("IP address is required.");
      return TakeAddress(value);
    case zmo::kLoaderOptionPid:
      if (value == nullptr) return loaderHalt("PID is required.");
      return TakePid(value);
    case zmo::kLoaderOptionProgram:
      if (value == nullptr) return loaderHalt("Program is not correct.");
      s.program = upperCaseCopy(std::string(value).substr(0, kValueMax));
      loaderLog("Process Program argument=%s\n", s.program.c_str());
      return 0;
    case zmo::kLoaderOptionVendor:
      if (value == nullptr) return loaderHalt("Vendor is required.");
      s.vendor = upperCaseCopy(value);
      s.vendor_given = 1;
      loaderLog("Process Vendor argument=%s\n", s.vendor.c_str());
      return 0;
    default:
      loaderLog("ERROR - ERROR: Incorrect argument.\n");
      return kLoaderExitError;
  }
}

}  // namespace

void loaderPrintUsage() {
  std::fputs(
      "\n"
      "zmoloader Version: 1.1.1 \n"
      "\n"
      "Load the database \n"
      "\n"
      "Syntax :\n"
      "zmoloader -v Corva -p SNAP \n"
      "\n"
      "Example:\n"
      "zmoloader -a -v Corva -p SNAP -s 20000605 -e 20000607 -h 10.20.30.40 -i 153 -d\n"
      "\n"
      "Description of the optional parameters\n"
      "-a: aggregate\n"
      "-v: db Vendor\n"
      "-p: Calling program SNAP or STATI\n"
      "-s: Starting Date yyyymmdd\n"
      "-e: Ending Date yyyymmdd\n"
      "-h: IP address\n"
      "-i: PID\n"
      "-d: Debug Mode, Creates files, no execution\n"
      "\n"
      "Error messages are located in the trace_zmoloader.log file\n",
      stdout);
}

int loaderScanArgs(int argc, char** argv) {
  LoaderState& s = loaderState();
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') continue;
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(arg[1])));
    if (letter == zmo::kLoaderOptionAggregate) {
      s.aggregate = 1;
      loaderLog("Process aggregate argument\n");
      continue;
    }
    if (letter == zmo::kLoaderOptionDebug) {
      s.debug = 1;
      loaderLog("Process Debug argument\n");
      continue;
    }
    const char* value = nullptr;
    if (TakesValue(letter) && i + 1 < argc) value = argv[++i];
    int rc = TakeOption(letter, value);
    if (rc != 0) return rc;
  }
  return 0;
}

}  // namespace zmo::loader
