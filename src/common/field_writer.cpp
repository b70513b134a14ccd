#include "common/field_writer.h"

#include <array>
#include <cstring>

#include "common/byte_marks.h"

namespace zmo {
namespace {

// Room left for field text, keeping two bytes for the line's CR LF.
int Room(const RecordLine& line) { return kRecordLineMax - 2 - line.len; }

void Separator(RecordLine* line) {
  if (!line->fixedWidth && line->fields > 0 && Room(*line) > 0) line->text[line->len++] = ',';
  ++line->fields;
}

void Put(RecordLine* line, const char* text, int n) {
  if (n > Room(*line)) {
    n = Room(*line);
    line->cut = 1;
  }
  std::memcpy(line->text + line->len, text, n);
  line->len += n;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Whether n bytes may hold a control byte, eight at a time: a byte below
// 0x20 sets its top bit in the first mask (as byteMarks does, a byte that
// borrows can mark its neighbour too), one equal to 0x7F in the second. A
// true answer is checked byte by byte.
bool MayHoldControl(const char* p, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    const std::uint64_t below = (w - 0x20 * kByteOnes) & ~w & (kByteOnes << 7);
    if ((below | byteMarks(w, 0x7F)) != 0) return true;
  }
  for (; i < n; ++i) {
    if (IsControl(static_cast<unsigned char>(p[i]))) return true;
  }
  return false;
}

// A field's text: every control byte (0x00-0x1F, 0x7F) is written as a
// blank, so that a CR or LF received in a name can never split the record
// into two lines.
void PutText(RecordLine* line, const char* text, int n) {
  if (n > Room(*line)) {
    n = Room(*line);
    line->cut = 1;
  }
  char* out = line->text + line->len;
  std::memcpy(out, text, n);
  line->len += n;
  if (!MayHoldControl(out, n)) return;
  for (int i = 0; i < n; ++i) {
    if (IsControl(static_cast<unsigned char>(out[i]))) out[i] = ' ';
  }
}

void Pad(RecordLine* line, int n, int width) {
  int blanks = width - n;
  if (blanks > Room(*line)) blanks = Room(*line);
  if (blanks <= 0) return;
  std::memset(line->text + line->len, ' ', blanks);
  line->len += blanks;
}

constexpr std::int64_t kPowersOfTen[] = {1,
                                         10,
                                         100,
                                         1000,
                                         10000,
                                         100000,
                                         1000000,
                                         10000000,
                                         100000000,
                                         1000000000,
                                         10000000000,
                                         100000000000,
                                         1000000000000,
                                         10000000000000,
                                         100000000000000,
                                         1000000000000000,
                                         10000000000000000,
                                         100000000000000000,
                                         1000000000000000000};
constexpr int kMaxNumberWidth = 18;

// "00" to "99", so that a number is written two digits at a time.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> t{};
  for (int i = 0; i < 100; ++i) {
    t[2 * i] = static_cast<char>('0' + i / 10);
    t[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return t;
}();

// The decimal digits of v ending at end. Returns where they begin.
char* PutDigits(char* end, std::uint64_t v) {
  while (v >= 100) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (v % 100)], 2);
    v /= 100;
  }
  if (v >= 10) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * v], 2);
  } else {
    *--end = static_cast<char>('0' + v);
  }
  return end;
}

// The magnitude of value, whatever its sign.
std::uint64_t Magnitude(std::int64_t value) {
  return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// The decimal digits of value, with its sign, ending at end. Returns where
// they begin.
char* Digits(char* end, std::int64_t value) {
  char* p = PutDigits(end, Magnitude(value));
  if (value < 0) *--p = '-';
  return p;
}

}  // namespace

void recordLineStart(RecordLine* line, DbKind kind) {
  const DbKindInfo* k = dbKindInfo(kind);
  line->len = 0;
  line->fields = 0;
  line->kind = k == nullptr ? DbKind::kNone : kind;
  line->fixedWidth = k != nullptr && k->fixedWidth;
  line->quotedText = k != nullptr && k->quotedText;
  line->cut = 0;
  line->clamped = 0;
}

void recordPutText(RecordLine* line, const RecordField& field, const char* text, int n) {
  Separator(line);
  if (line->fixedWidth) {
    if (n > field.width) {
      n = field.width;
      line->cut = 1;
    }
    PutText(line, text, n);
    Pad(line, n, field.width);
  } else if (line->quotedText && field.type == FieldType::kText) {
    // A text cut by the buffer keeps its closing quote.
    const int room = Room(*line);
    if (room < 2) {
      line->cut = 1;
      return;
    }
    if (n > room - 2) {
      n = room - 2;
      line->cut = 1;
    }
    line->text[line->len++] = '"';
    PutText(line, text, n);
    line->text[line->len++] = '"';
  } else {
    PutText(line, text, n);
  }
}

void recordPutString(RecordLine* line, const RecordField& field, const char* text) {
  recordPutText(line, field, text, static_cast<int>(std::strlen(text)));
}

void recordPutNumber(RecordLine* line, const RecordField& field, std::int64_t value) {
  Separator(line);
  int width = field.width;
  if (width < 1) width = 1;
  if (width > kMaxNumberWidth) width = kMaxNumberWidth;
  const bool right = field.type == FieldType::kNumber;
  // Only the Oracle kind's columns bound a number; the comma-separated
  // kinds take the whole number, the width being a least width there.
  if (line->fixedWidth) {
    const std::int64_t most = kPowersOfTen[width] - 1;
    const std::int64_t least = -(kPowersOfTen[width - 1] - 1);
    if (value > most || value < least) {
      value = value > most ? most : least;
      line->clamped = 1;
    }
  }
  if (right && value > -kPowersOfTen[width - 1] && value < kPowersOfTen[width]) {
    // The common case, a number within its width: written in place from
    // its last digit, blanks before it.
    if (width > Room(*line)) {
      line->cut = 1;
      return;
    }
    char* out = line->text + line->len;
    std::memset(out, ' ', width);
    Digits(out + width, value);
    line->len += width;
    return;
  }
  char digits[24];
  char* end = digits + sizeof digits;
  const char* begin = Digits(end, value);
  const int n = static_cast<int>(end - begin);
  const int padded = right || line->fixedWidth ? (n < width ? width : n) : n;
  if (padded > Room(*line)) {
    line->cut = 1;
    return;
  }
  char* out = line->text + line->len;
  if (right) {
    std::memset(out, ' ', padded - n);
    std::memcpy(out + padded - n, begin, n);
  } else {
    std::memcpy(out, begin, n);
    std::memset(out + n, ' ', padded - n);
  }
  line->len += padded;
}

void recordLineAppend(RecordLine* line, const RecordLine& part) {
  Put(line, part.text, part.len);
  line->fields += part.fields - 1;
  line->cut |= part.cut;
  line->clamped |= part.clamped;
}

bool recordLineEnd(RecordLine* line) {
  if (line->len + 2 > kRecordLineMax) return false;
  line->text[line->len++] = '\r';
  line->text[line->len++] = '\n';
  return true;
}

int recordLineWrite(std::FILE* file, const RecordLine& line) {
  if (file == nullptr) return -1;
  const auto n = static_cast<std::size_t>(line.len);
  return std::fwrite(line.text, 1, n, file) == n ? 0 : -1;
}

}  // namespace zmo
