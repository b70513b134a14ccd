// Dispatch of the served function modules and what their answers share.
#include "answers.h"

#include <strings.h>

namespace zmo::rfc {
namespace {

// Why an installed structure differs from a layout; "" when it matches.
std::string Mismatch(const InstalledType& t, const sap::StructLayout& layout) {
  const unsigned form = layout.char_width == 1 ? 0 : layout.char_width == 2 ? 1 : 2;
  if (form != 0 && !t.unicode)
    return "structure " + t.name + " has no " + std::to_string(layout.char_width) + "-byte form";
  if (t.fields.size() != layout.field_count) {
    return "structure " + t.name + " has " + std::to_string(t.fields.size()) +
           " fields, the layout " + std::to_string(layout.field_count);
  }
  for (unsigned i = 0; i < layout.field_count; ++i) {
    const sap::FieldLayout& f = layout.fields[i];
    const InstalledType::Field& g = t.fields[i];
    if (strcasecmp(f.name, g.name.c_str()) != 0 ||
        g.type != static_cast<RFC_TYPEHANDLE>(sap::RfcTypeOfKind(f.kind)) ||
        g.length[form] != f.length || g.offset[form] != f.offset ||
        (f.kind == sap::FieldKind::kPacked && g.decimals != f.decimals)) {
      return "structure " + t.name + " field " + std::to_string(i + 1) + " (" + g.name +
             ") differs from the layout's " + f.name + " at offset " + std::to_string(f.offset);
    }
  }
  if (t.size[form] != layout.line_size)
    return "structure " + t.name + " is not " + std::to_string(layout.line_size) + " bytes";
  return "";
}

}  // namespace

AnswerFn FindAnswer(const std::string& function) {
  static const std::map<std::string, AnswerFn> kAnswers = {
      {"RFC_SYSTEM_INFO", AnswerSystemInfo},
      {"SAPWL_STATREC_READ_FILE", AnswerStatrecRead},
      {"SXMI_LOGON", AnswerXmiLogon},
      {"SXMI_XMB_USER_LIST_READ", AnswerXmiUserList},
      {"SXMI_LOGOFF", AnswerXmiLogoff},
      {"RFC_FUNCTION_SEARCH", AnswerFunctionSearch},
      {"J_8C1_GET_DB_LOG_DEST", AnswerDbLogDest},
      {"FILL_SNAPSHOT_DATA", AnswerFillSnapshot}};
  auto it = kAnswers.find(function);
  return it == kAnswers.end() ? nullptr : it->second;
}

std::string ExportText(const Exports& exports, const char* name, bool* present) {
  auto it = exports.find(name);
  if (present != nullptr) *present = it != exports.end();
  if (it == exports.end()) return "";
  std::string s = it->second.bytes.substr(0, it->second.bytes.find('\0'));
  size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? "" : s.substr(0, end + 1);
}

const TableArg* FindTableArg(const CallContext& ctx, const char* name) {
  for (const TableArg& t : ctx.tables) {
    if (t.name == name) return &t;
  }
  return nullptr;
}

const sap::StructLayout* TableLayout(const CallContext& ctx, const TableArg& table,
                                     const char* structure, const char* tag, std::string* refusal) {
  const sap::StructLayout* layout = nullptr;
  std::string sizes;
  for (unsigned width : {1u, 2u, 4u}) {
    const sap::StructLayout* l = sap::FindLayout(structure, tag, width);
    if (l == nullptr) continue;
    sizes += (sizes.empty() ? "" : " or ") + std::to_string(l->line_size);
    if (l->line_size == table.leng) layout = l;
  }
  std::string what = std::string(structure) + (tag[0] ? std::string(" ") + tag : std::string());
  if (layout == nullptr) {
    *refusal = "table " + table.name + ": line length " + std::to_string(table.leng) +
               " does not fit " + what + " (" + sizes + " bytes)";
    return nullptr;
  }
  if (const InstalledType* t = FindType(ctx.st, table.type)) {
    std::string why = Mismatch(*t, *layout);
    if (!why.empty()) {
      *refusal = "table " + table.name + ": " + why + " (" + what + ")";
      return nullptr;
    }
  } else if (table.type >= kFirstStructureHandle) {
    *refusal =
        "table " + table.name + ": type handle " + std::to_string(table.type) + " is not installed";
    return nullptr;
  }
  return layout;
}

int PutRows(const sap::StructLayout& layout, const std::vector<std::vector<FieldValue>>& rows,
            bool fit, const std::string& table, Answer* answer, std::string* refusal) {
  AnswerTable& out = answer->tables[table];
  out.leng = layout.line_size;
  out.lines.reserve(out.lines.size() + rows.size());
  for (const auto& row : rows) {
    std::string why;
    LineBuffer line(new unsigned char[layout.line_size]);
    if (EncodeLine(layout, row, fit, line.get(), &why) != 0) {
      *refusal = "table " + table + ": " + why;
      return -1;
    }
    out.lines.push_back(std::move(line));
  }
  return 0;
}

void Raise(Answer* answer, RFC_RC rc, const std::string& exception, const std::string& message) {
  answer->rc = rc;
  answer->exception = exception;
  answer->error = {rc == RFC_EXCEPTION ? RFC_ERROR_APPLICATION_EXCEPTION : RFC_ERROR_SYSTEM_FAILURE,
                   exception, "RfcReceive", message};
  answer->imports.clear();
  answer->tables.clear();
}

ImportValue TextValue(const std::string& text) { return {ImportValue::kText, text, 0}; }
ImportValue IntValue(long long number) { return {ImportValue::kInt, "", number}; }
ImportValue BytesValue(const std::string& bytes) { return {ImportValue::kBytes, bytes, 0}; }

}  // namespace zmo::rfc
