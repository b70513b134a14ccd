// The answers of the simulated function modules. An answer is made in full
// when RfcCall sends the call; RfcReceive hands it over later.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "state.h"

namespace zmo::rfc {

struct ExportValue {
  RFC_TYPEHANDLE type = TYPC;
  std::string bytes;
};
using Exports = std::map<std::string, ExportValue>;  // by upper-case name

struct TableArg {
  std::string name;  // upper-cased
  unsigned leng = 0;
  RFC_TYPEHANDLE type = TYPC;
  ITAB_H handle = nullptr;
};

struct CallContext {
  RfcLibState& st;
  const SimSystem& sys;
  Connection& conn;
  const Exports& exports;
  const std::vector<TableArg>& tables;
};

// Makes the answer of a call. Returns 0, or -1 with *refusal when the call
// cannot be sent at all (RfcCall then fails).
using AnswerFn = int (*)(CallContext& ctx, Answer* answer, std::string* refusal);

// The answer maker of a served function module; nullptr for any other.
AnswerFn FindAnswer(const std::string& function);

// The answer makers, one per function module.
int AnswerSystemInfo(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerStatrecRead(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerXmiLogon(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerXmiUserList(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerXmiLogoff(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerFunctionSearch(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerDbLogDest(CallContext& ctx, Answer* answer, std::string* refusal);
int AnswerFillSnapshot(CallContext& ctx, Answer* answer, std::string* refusal);

// --- shared by the answer makers ---

// The exported text of name: its bytes up to a NUL, trailing blanks cut;
// *present says whether it was sent.
std::string ExportText(const Exports& exports, const char* name, bool* present = nullptr);

// The table of that name passed with the call, or nullptr.
const TableArg* FindTableArg(const CallContext& ctx, const char* name);

// The layout a table passed for structure (release tag, "" otherwise) is
// filled in: the character form is the one whose line size the table has,
// and a structure type passed with it must match that layout field by field.
// nullptr with *refusal when it does not fit.
const sap::StructLayout* TableLayout(const CallContext& ctx, const TableArg& table,
                                     const char* structure, const char* tag, std::string* refusal);

// Encodes rows into the answer's table; -1 with *refusal on a fault.
int PutRows(const sap::StructLayout& layout, const std::vector<std::vector<FieldValue>>& rows,
            bool fit, const std::string& table, Answer* answer, std::string* refusal);

// The answer raises exception (RFC_EXCEPTION or RFC_SYS_EXCEPTION).
void Raise(Answer* answer, RFC_RC rc, const std::string& exception, const std::string& message);

ImportValue TextValue(const std::string& text);
ImportValue IntValue(long long number);
ImportValue BytesValue(const std::string& bytes);

}  // namespace zmo::rfc
