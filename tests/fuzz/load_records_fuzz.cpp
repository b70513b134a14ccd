// The Oracle-kind load stand-in's readers on any text: an input whose first
// byte is even is a control file, parsed as sqlldr parses one; an odd one is
// a data file, read a few records at a time by the record reader and checked
// against the availability control file the loader writes, each record that
// passes made into a COPY row. A row holds one value per field, tab
// separated, one line feed at its end and no other CR or LF.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "control_file.h"
#include "fuzz_support.h"
#include "platform/batch.h"
#include "platform/files.h"
#include "tools.h"

namespace {

using zmo::dbtools::ControlFile;

using zmo_fuzz::Check;

// zmosnap_avai.par as the loader writes it.
const ControlFile& AvailControl() {
  static const ControlFile control = [] {
    const std::vector<std::string> lines = {
        "Load Data",
        "infile '/opt/zmo/zmoavai.dat'",
        "badfile '/opt/zmo/trace_zmosnap_avai.bad'",
        "discardfile '/opt/zmo/trace_zmosnap_avai.dsk' discardmax 9999",
        "truncate",
        "PRESERVE BLANKS",
        "into table v01002003004000153",
        "(RFC_DEST_STR    POSITION(1:20)      Char(20),",
        "HOST_NAME        POSITION(21:50)     Char(30),",
        "SYSTEM_LABEL     POSITION(51:84)     Char(34),",
        "SYS_ID           POSITION(85:87)     Char(3),",
        "SNAP_DATE        POSITION(88:101)    Date \"YYYYMMDDHH24MISS\",",
        "SYS_AVAILABLE    POSITION(102:102)   Char(1))"};
    ControlFile parsed;
    std::string error;
    Check(zmo::dbtools::ParseControlFile(lines, &parsed, &error) == 0);
    return parsed;
  }();
  return control;
}

const std::string& DataFile() {
  static const zmo_fuzz::OwnDir dir("zmo_fuzz_records");
  static const std::string path = dir.path + "/zmoavai.dat";
  return path;
}

void CheckCopyRow(const ControlFile& control, const std::string& row) {
  Check(!row.empty() && row.back() == '\n');
  size_t tabs = 0;
  for (size_t i = 0; i + 1 < row.size(); ++i) {
    Check(row[i] != '\n' && row[i] != '\r');
    if (row[i] == '\t') ++tabs;
  }
  Check(tabs + 1 == control.fields.size());
}

void ControlText(const std::string& text) {
  ControlFile control;
  std::string error;
  if (zmo::dbtools::ParseControlFile(zmo::SplitTextLines(text), &control, &error) != 0) {
    Check(!error.empty());
    return;
  }
  Check(!control.fields.empty());
  Check(zmo::dbtools::RecordLength(control) == control.fields.back().end);
}

void DataText(const std::string& text) {
  Check(zmo::WriteFileAtomic(DataFile(), text) == 0);
  const ControlFile& control = AvailControl();
  zmo::dbtools::RecordReader reader;
  Check(reader.Open(DataFile()) == 0);
  std::vector<std::string_view> records;
  size_t read = 0;
  while (reader.Next(3, &records) == 0 && !records.empty()) {
    Check(records.size() <= 3);
    for (std::string_view record : records) {
      ++read;
      if (!zmo::dbtools::RecordFault(control, record).empty()) continue;
      Check(record.size() == zmo::dbtools::RecordLength(control));
      std::string row;
      zmo::dbtools::AppendCopyRow(control, record, &row);
      CheckCopyRow(control, row);
    }
  }
  // As many records as the text has lines.
  Check(read == zmo::SplitTextLines(text).size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  if (bytes[0] % 2 == 0) {
    ControlText(text);
  } else {
    DataText(text);
  }
  return 0;
}
