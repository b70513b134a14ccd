// The -np command line of the configurator's special run.

#include <cctype>
#include <cstring>
#include <string>

#include "common/db_kind.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmostati/entry.h"
#include "zmostati/format.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

constexpr size_t kFileNameMax = 511;  // fewer than 512 characters
constexpr size_t kBinDirMax = 510;

// The first width characters of value, right-padded with '0'.
std::string FixedWidth(const char* value, size_t width) {
  std::string s(value, strnlen(value, width));
  s.resize(width, '0');
  return s;
}

// A failure message that must be seen: the switch goes on before it.
void TraceOn(const std::string& line) {
  zmo::SetTraceSwitch(true);
  zmo::writeTrace("%s", line.c_str());
}

}  // namespace

int statiGetParaFromCmdLine(int argc, char** argv) {
  StatiState& st = statiState();
  StatiSettings& s = st.settings;
  // The interval's four texts: kept to their width, right-padded with '0'.
  struct Fixed {
    const char* option;
    std::string* target;
    size_t width;
    bool given;
  } fixed[] = {{"-st", &st.current.startTime, 6, false},
               {"-sd", &st.current.startDate, 8, false},
               {"-et", &st.current.endTime, 6, false},
               {"-ed", &st.current.endDate, 8, false}};
  bool have_if = false, have_of = false, have_bindir = false, have_dbtype = false;
  for (int i = 2; i < argc; ++i) {
    const char* opt = argv[i];
    Fixed* field = nullptr;
    for (Fixed& f : fixed) {
      if (std::strcmp(opt, f.option) == 0) field = &f;
    }
    const bool takes_value = field != nullptr || std::strcmp(opt, "-if") == 0 ||
                             std::strcmp(opt, "-of") == 0 || std::strcmp(opt, "-bindir") == 0 ||
                             std::strcmp(opt, "-dbtype") == 0;
    if (takes_value) {
      if (i + 1 >= argc) break;  // the last argument takes no value
      const char* value = argv[++i];
      if (field != nullptr) {
        *field->target = FixedWidth(value, field->width);
        field->given = true;
      } else if (std::strcmp(opt, "-if") == 0 || std::strcmp(opt, "-of") == 0) {
        const bool in = opt[1] == 'i';
        if (std::strlen(value) > kFileNameMax) {
          TraceOn(in ? "-if parameter size too big\n" : "-of parameter size too big\n");
          return kStatiCmdFileNameTooLong;
        }
        (in ? s.serverFile : s.outFile) = value;
        (in ? have_if : have_of) = true;
      } else if (std::strcmp(opt, "-bindir") == 0) {
        if (std::strlen(value) > kBinDirMax) {
          TraceOn("binDir parameter size too big\n");
          return kStatiCmdBinDirTooLong;
        }
        s.binDir = zmo::WithTrailingSep(value);
        have_bindir = true;
      } else {
        const zmo::DbKind kind = zmo::dbKindFromUpperName(value);
        zmo::setDatabaseKind(kind);
        if (kind == zmo::DbKind::kNone) {
          TraceOn(statiFormat("unknown db format <%s>\n", value));
          return kStatiCmdUnknownDb;
        }
        zmo::writeTrace("producing output for db <%s>\n", value);
        have_dbtype = true;
      }
    } else if (std::strcmp(opt, "-d") == 0) {
      zmo::SetTraceSwitch(true);
    } else if (std::strcmp(opt, "-b") == 0) {
      s.normalFlag = false;
      zmo::writeTrace("query for batch jobs only\n");
    } else if (std::strcmp(opt, "-n") == 0) {
      s.batchFlag = false;
      zmo::writeTrace("query for normal jobs only\n");
    }
    // -ld and anything unknown: accepted, no effect.
  }

  const struct {
    bool given;
    const char* name;
  } required[] = {{fixed[0].given, "-st"}, {fixed[1].given, "-sd"},  {fixed[2].given, "-et"},
                  {fixed[3].given, "-ed"}, {have_bindir, "-bindir"}, {have_dbtype, "-dbtype"}};
  bool missing = false;
  for (const auto& r : required) {
    if (!r.given) {
      zmo::writeTrace("missing parameter <%s>\n", r.name);
      missing = true;
    }
  }
  if (missing) return kStatiCmdMissingOption;

  if (!have_if) {
    zmo::writeTrace("using default input file\n");
    if (statiGetDefaultInFileName() != 0) {
      zmo::writeTrace("statiGetDefaultInFileName() returned unsuccessfully\n");
      return kStatiCmdNoDefaultInFile;
    }
  }
  if (!have_of) {
    zmo::writeTrace("using default output file\n");
    if (statiGetDefaultOutFileName() != 0) {
      zmo::writeTrace("statiGetDefaultOutFileName() returned unsuccessfully\n");
      return kStatiCmdNoDefaultOutFile;
    }
  }
  statiSetProgramPaths();
  statiBuildLdrArg("statiGetParaFromCmdLine()", false);
  return 0;
}

}  // namespace zmo::stati
