// The record layouts of the configuration data files, defined once for every
// program that writes or reads them: the configurator's codecs and loaders,
// the collectors' server-file scanner and the loader's aggregation readers.
//
// Every record is fixed-width single-byte text (Windows-1252), fields
// left-aligned and padded on the right with blanks, numbers as digit text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zmo {

// One field of a fixed-width record: its offset and width in bytes.
struct FixedField {
  size_t offset;
  size_t width;
  constexpr size_t end() const { return offset + width; }
};

// ---- The application-server file (zmoserver.dat, zmoSpecRunServList.dat) ----
// 183 bytes a record: nine data fields, then CR LF.
constexpr const char* kServerFileName = "zmoserver.dat";
constexpr const char* kServerBackupName = "zmoserver.bak";
constexpr size_t kServerRecordLength = 183;
constexpr FixedField kServerHost{0, 100};  // may be a route: host after the last "/"
constexpr FixedField kServerUser{100, 30};
constexpr FixedField kServerPassword{130, 30};  // scrambled
constexpr FixedField kServerSid{160, 3};
constexpr FixedField kServerClient{163, 3};       // "000"
constexpr FixedField kServerSysnr{166, 2};        // "00"
constexpr FixedField kServerWindowStart{168, 6};  // hhmmss, "000000"
constexpr FixedField kServerWindowEnd{174, 6};    // hhmmss, "240000"
constexpr FixedField kServerLanguage{180, 1};     // letter or blank
constexpr FixedField kServerLineEnd{181, 2};      // CR LF
constexpr int kServerDataFields = 9;
// The nine data fields in record order (the configurator's table fields 1-9).
constexpr FixedField kServerFields[kServerDataFields] = {
    kServerHost,  kServerUser,        kServerPassword,  kServerSid,     kServerClient,
    kServerSysnr, kServerWindowStart, kServerWindowEnd, kServerLanguage};

// ---- The three exclusion lists: one entry, then CR LF ----
enum class IgnoreList { kIds, kProgs, kTrans };
struct IgnoreListLayout {
  const char* file;  // in BinDir
  FixedField entry;
  size_t record;  // entry and CR LF
};
constexpr IgnoreListLayout kIdsToIgnoreLayout = {"zmoIDsToIgnore.dat", {0, 12}, 14};
constexpr IgnoreListLayout kProgsToIgnoreLayout = {"zmoProgsToIgnore.dat", {0, 30}, 32};
constexpr IgnoreListLayout kTransToIgnoreLayout = {"zmoTransToIgnore.dat", {0, 20}, 22};
const IgnoreListLayout& ignoreListLayout(IgnoreList list);

// Why a line of an exclusion list gives no entry.
enum class IgnoreLineFault {
  kTooLong,  // the entry is wider than the list's field
  kControl,  // it holds a control character
};
struct IgnoreLineSkipped {
  size_t line;  // from 1
  IgnoreLineFault fault;
  bool operator==(const IgnoreLineSkipped&) const = default;
};

// The entries of an exclusion list, read by line as the configurator and
// the loader both read it: lines end in CR LF or LF (a last line without one
// counts); each is trimmed of blanks and upper-cased by the code page, as
// the exclusion pages store their entries; a line of blanks holds none. A
// line whose entry is wider than the list's field, or holds a control
// character, is skipped and, when skipped is given, told there. A list the
// configurator wrote (each entry padded to its field, then CR LF) reads as
// the entries it wrote; so does one written by hand, one entry a line.
std::vector<std::string> readIgnoreList(std::string_view data, const IgnoreListLayout& layout,
                                        std::vector<IgnoreLineSkipped>* skipped = nullptr);

// ---- The group files (no line ends) ----
constexpr size_t kGroupNameWidth = 35;
// zmoAppGroup.dat: group name and service level (four digits of milliseconds).
constexpr const char* kAppGroupFile = "zmoAppGroup.dat";
constexpr FixedField kAppGroupName{0, kGroupNameWidth};
constexpr FixedField kAppGroupLevel{35, 4};
constexpr size_t kAppGroupRecordLength = 39;
// zmoTransGroup.dat: group name and one transaction code of it.
constexpr const char* kTransGroupFile = "zmoTransGroup.dat";
constexpr FixedField kTransGroupName{0, kGroupNameWidth};
constexpr FixedField kTransGroupCode{35, 20};
constexpr size_t kTransGroupRecordLength = 55;

// ---- The transaction-code files ----
// zmotcodes.dat: sorted standard codes, code then CR LF.
constexpr const char* kTCodeFile = "zmotcodes.dat";
constexpr FixedField kTCodeCode{0, 20};
constexpr size_t kTCodeRecordLength = 22;
// zmoztcodes.dat: customer codes, one a line, any width.
constexpr const char* kCustomTCodeFile = "zmoztcodes.dat";

// ---- The group-rename file zmogrpupdt.dat (no line ends) ----
constexpr const char* kGroupRenameFile = "zmogrpupdt.dat";
constexpr FixedField kRenameNewName{0, kGroupNameWidth};
constexpr FixedField kRenameOldName{35, kGroupNameWidth};
constexpr size_t kRenameRecordLength = 70;

// The bytes of field f in record; shorter (or empty) when the record ends
// inside the field.
std::string_view recordField(std::string_view record, FixedField f);

// Writes value into record at f, cut or blank-padded to the field's width.
// The record grows with blanks when it is shorter than the field's end.
void putRecordField(std::string* record, FixedField f, std::string_view value);

// The number of records of a file: its length divided by the record length,
// rounded to the nearest whole number with a half going to the even number
// (so a last line that lacks its CR LF still counts).
std::int64_t recordCount(std::int64_t file_length, size_t record_length);

// Record number n (1-based) of data, as far as the data holds it.
std::string_view recordAt(std::string_view data, size_t record_length, std::int64_t n);

// text without trailing blanks.
std::string_view rightTrimBlanks(std::string_view text);
// text without leading and trailing blanks.
std::string_view trimBlanks(std::string_view text);
// Windows-1252 text in upper case (the accented letters included).
std::string cp1252Upper(std::string_view text);

}  // namespace zmo
