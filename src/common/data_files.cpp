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

std::vector<std::string> readIgnoreList(std::string_view data, const IgnoreListLayout& layout,
                                        std::vector<IgnoreLineSkipped>* skipped) {
  std::vector<std::string> entries;
  size_t line = 0;
  for (size_t start = 0; start < data.size();) {
    const size_t lf = data.find('\n', start);
    std::string_view text = data.substr(start, lf == std::string_view::npos ? lf : lf - start);
    start = lf == std::string_view::npos ? data.size() : lf + 1;
    ++line;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const std::string_view entry = trimBlanks(text);
    if (entry.empty()) continue;
    bool control = false;
    for (char ch : entry) {
      const auto c = static_cast<unsigned char>(ch);
      control = control || c < 0x20 || c == 0x7F;
    }
    if (control || entry.size() > layout.entry.width) {
      if (skipped != nullptr) {
        skipped->push_back({line, control ? IgnoreLineFault::kControl : IgnoreLineFault::kTooLong});
      }
      continue;
    }
    entries.push_back(cp1252Upper(entry));
  }
  return entries;
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

std::string cp1252Upper(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') {
      ch = static_cast<char>(c - 0x20);
    } else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
      ch = static_cast<char>(c - 0x20);
    } else if (c == 0x9A || c == 0x9C || c == 0x9E) {
      ch = static_cast<char>(c - 0x10);
    } else if (c == 0xFF) {
      ch = static_cast<char>(0x9F);
    }
  }
  return out;
}

}  // namespace zmo
