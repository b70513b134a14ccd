#include "common/data_files.h"

namespace zmo {

const IgnoreListLayout& ignoreListLayout(IgnoreList list) {
  switch (list) {
    case IgnoreList::kIds:
      return kIdsToIgnoreLayout;
    case IgnoreList::kProgs:
      return kProgsToIgnoreLayout;
    case IgnoreList::kTrans:
      break;
  }
  return kTransToIgnoreLayout;
}

std::string_view recordField(std::string_view record, FixedField f) {
  if (f.offset >= record.size()) return {};
  return record.substr(f.offset, f.width);
}

void putRecordField(std::string* record, FixedField f, std::string_view value) {
  if (record->size() < f.end()) record->resize(f.end(), ' ');
  const std::string_view cut = value.substr(0, f.width);
  record->replace(f.offset, cut.size(), cut);
  record->replace(f.offset + cut.size(), f.width - cut.size(), f.width - cut.size(), ' ');
}

std::int64_t recordCount(std::int64_t file_length, size_t record_length) {
  if (file_length <= 0 || record_length == 0) return 0;
  const auto len = static_cast<std::int64_t>(record_length);
  const std::int64_t whole = file_length / len;
  const std::int64_t rest2 = (file_length % len) * 2;
  if (rest2 > len) return whole + 1;
  if (rest2 == len) return whole % 2 == 0 ? whole : whole + 1;
  return whole;
}

std::string_view recordAt(std::string_view data, size_t record_length, std::int64_t n) {
  if (n < 1) return {};
  const auto start = static_cast<size_t>(n - 1) * record_length;
  if (start >= data.size()) return {};
  return data.substr(start, record_length);
}

std::string_view rightTrimBlanks(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return text.substr(0, end);
}

std::string_view trimBlanks(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  return rightTrimBlanks(text.substr(start));
}

}  // namespace zmo
