#include "common/line_values.h"

#include <initializer_list>

namespace zmo {

namespace {

enum class Syntax { kBatch, kCorvaScript, kTesselScript, kOracleControl, kSqlplusScript };

// How a value stands in a line.
enum class Form {
  kQuotedWhenNeeded,  // double quotes when needed (quotedWhenNeeded)
  kDoubleQuoted,      // always double quotes
  kSingleQuoted,      // always single quotes
  kWord,              // bare, in a statement
};

constexpr unsigned Kinds(std::initializer_list<DbKind> kinds) {
  unsigned mask = 0;
  for (DbKind k : kinds) mask |= 1u << static_cast<int>(k);
  return mask;
}
constexpr unsigned kAllKinds =
    Kinds({DbKind::kOracle, DbKind::kCorva, DbKind::kMssql, DbKind::kSybase, DbKind::kTessel});
constexpr unsigned kToolLogonKinds =
    Kinds({DbKind::kOracle, DbKind::kMssql, DbKind::kSybase, DbKind::kTessel});

// Where each value goes, by kind; a value is checked in this order.
struct Use {
  LineValue value;
  unsigned kinds;
  Syntax syntax;
  Form form;
};
// clang-format off
constexpr Use kUses[] = {
    {LineValue::kBinDir,      kAllKinds,                     Syntax::kBatch,         Form::kQuotedWhenNeeded},
    {LineValue::kBinDir,      Kinds({DbKind::kCorva}),       Syntax::kCorvaScript,   Form::kQuotedWhenNeeded},
    {LineValue::kBinDir,      Kinds({DbKind::kTessel}),      Syntax::kTesselScript,  Form::kDoubleQuoted},
    {LineValue::kBinDir,      Kinds({DbKind::kOracle}),      Syntax::kOracleControl, Form::kSingleQuoted},
    {LineValue::kBinDir,      Kinds({DbKind::kOracle}),      Syntax::kSqlplusScript, Form::kQuotedWhenNeeded},
    {LineValue::kStatiOutPut, kAllKinds,                     Syntax::kBatch,         Form::kQuotedWhenNeeded},
    {LineValue::kStatiOutPut, Kinds({DbKind::kCorva}),       Syntax::kCorvaScript,   Form::kQuotedWhenNeeded},
    {LineValue::kStatiOutPut, Kinds({DbKind::kTessel}),      Syntax::kTesselScript,  Form::kDoubleQuoted},
    {LineValue::kStatiOutPut, Kinds({DbKind::kOracle}),      Syntax::kOracleControl, Form::kSingleQuoted},
    {LineValue::kInst,        Kinds({DbKind::kCorva}),       Syntax::kCorvaScript,   Form::kWord},
    {LineValue::kUser,        kToolLogonKinds,               Syntax::kBatch,         Form::kQuotedWhenNeeded},
    {LineValue::kUser,        Kinds({DbKind::kCorva}),       Syntax::kCorvaScript,   Form::kWord},
    {LineValue::kDsn,         kToolLogonKinds,               Syntax::kBatch,         Form::kQuotedWhenNeeded},
    {LineValue::kDsn,         Kinds({DbKind::kCorva}),       Syntax::kCorvaScript,   Form::kWord},
    {LineValue::kPassword,    kToolLogonKinds,               Syntax::kBatch,         Form::kQuotedWhenNeeded},
    {LineValue::kPassword,    Kinds({DbKind::kCorva}),       Syntax::kCorvaScript,   Form::kWord},
};
// clang-format on

const char* SyntaxName(Syntax syntax) {
  switch (syntax) {
    case Syntax::kBatch:
      return "a batch line";
    case Syntax::kCorvaScript:
      return "a Corva script";
    case Syntax::kTesselScript:
      return "a Tessel script";
    case Syntax::kOracleControl:
      return "an Oracle control file";
    case Syntax::kSqlplusScript:
      break;
  }
  return "an Oracle SQL script";
}

bool IsControl(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return c < 0x20 || c == 0x7F;
}

std::string Fault(std::string_view text, Syntax syntax, Form form) {
  const std::string in = std::string(" in ") + SyntaxName(syntax);
  for (char c : text) {
    if (IsControl(c)) return "a control character, which would split the line" + in;
  }
  switch (form) {
    case Form::kQuotedWhenNeeded:
    case Form::kDoubleQuoted:
      if (text.find('"') != std::string_view::npos) {
        return "a double quote, which would end its quotes" + in;
      }
      return "";
    case Form::kSingleQuoted:
      if (text.find('\'') != std::string_view::npos) {
        return "a single quote, which would end its quotes" + in;
      }
      return "";
    case Form::kWord:
      break;
  }
  if (text.find(';') != std::string_view::npos) return "a ';', which would end a Corva statement";
  if (text.find_first_of("'\"") != std::string_view::npos) {
    return "a quote, which would start a quoted text in a Corva statement";
  }
  if (text.find("--") != std::string_view::npos) {
    return "'--', which would start a comment in a Corva statement";
  }
  return "";
}

}  // namespace

const char* lineValueName(LineValue value) {
  switch (value) {
    case LineValue::kBinDir:
      return "BinDir";
    case LineValue::kStatiOutPut:
      return "StatiOutPut";
    case LineValue::kInst:
      return "INST";
    case LineValue::kUser:
      return "User";
    case LineValue::kDsn:
      return "DSN";
    case LineValue::kPassword:
      break;
  }
  return "Access";
}

std::string lineValueFault(DbKind kind, LineValue value, std::string_view text) {
  const unsigned bit = 1u << static_cast<int>(kind);
  for (const Use& use : kUses) {
    if (use.value != value || (use.kinds & bit) == 0) continue;
    std::string fault = Fault(text, use.syntax, use.form);
    if (!fault.empty()) return fault;
  }
  return "";
}

std::string quotedWhenNeeded(std::string_view text) {
  const bool needed = text.find_first_of(" \t&|<>^;'") != std::string_view::npos ||
                      text.find("--") != std::string_view::npos;
  return needed ? doubleQuoted(text) : std::string(text);
}

std::string doubleQuoted(std::string_view text) {
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : text) {
    // A quote inside is escaped, with the backslashes before it doubled.
    if (c == '"') out.append(backslashes + 1, '\\');
    backslashes = c == '\\' ? backslashes + 1 : 0;
    out += c;
  }
  // Backslashes before the closing quote are doubled so it stays a quote.
  out.append(backslashes, '\\');
  out += '"';
  return out;
}

}  // namespace zmo
