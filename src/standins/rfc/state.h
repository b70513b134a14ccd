// The library's process-wide state, in one struct so that SimReset can put
// it back to its start. Every public function takes the mutex.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "landscape.h"
#include "rfc/saprfc.h"
#include "rfc/simulator.h"

struct ZmoItab {
  std::string name;  // upper-cased
  unsigned leng = 0;
  std::vector<zmo::rfc::LineBuffer> lines;  // stable addresses
  // Lines that ItGetLine refuses, by the landscape's faults when the table
  // was created: looked up once, not on every line read.
  std::vector<unsigned> failing_lines;
};

namespace zmo::rfc {

// First handle of an installed structure; elementary types lie below.
constexpr RFC_TYPEHANDLE kFirstStructureHandle = 0x100;

struct InstalledType {
  struct Field {
    std::string name;
    RFC_TYPEHANDLE type = TYPC;
    unsigned decimals = 0;
    unsigned length[3] = {0, 0, 0};  // 1-, 2- and 4-byte character forms
    unsigned offset[3] = {0, 0, 0};
  };
  std::string name;
  bool unicode = false;  // has 2- and 4-byte forms
  std::vector<Field> fields;
  unsigned size[3] = {0, 0, 0};
};

struct ErrorRecord {
  int group = 0;
  std::string key, status, message;
};

// A value the answer hands to an importing parameter.
struct ImportValue {
  enum Kind { kText, kInt, kBytes } kind = kText;
  std::string bytes;
  long long number = 0;
};

// The lines an answer gives to one table, each of leng bytes.
struct AnswerTable {
  unsigned leng = 0;
  std::vector<LineBuffer> lines;
};

struct Answer {
  RFC_RC rc = RFC_OK;
  std::string exception;
  ErrorRecord error;  // for a result other than RFC_OK
  std::map<std::string, ImportValue> imports;
  std::map<std::string, AnswerTable> tables;  // encoded lines by table name
};

struct Pending {
  std::string function;
  std::int64_t ready_at_ms = 0;
  int listen_rc = 0;
  Answer answer;
};

struct Connection {
  std::shared_ptr<const Landscape> landscape;  // keeps system alive across reloads
  const SimSystem* system = nullptr;
  bool xmi_logged_on = false;
  std::optional<Pending> pending;
  std::string exception;  // what RfcReceive's exception points at
};

struct RfcLibState {
  std::mutex mu;
  std::shared_ptr<const Landscape> landscape;
  std::string landscape_dir;    // ZMO_SAP_SYSTEMS of the loaded landscape
  std::string landscape_error;  // why it could not be loaded
  bool landscape_loaded = false;
  std::map<RFC_HANDLE, Connection> connections;
  RFC_HANDLE next_handle = 1;
  std::set<ZmoItab*> tables;
  std::vector<InstalledType> types;  // handle kFirstStructureHandle + index
  bool has_error = false;
  ErrorRecord last_error;
  RFC_ERROR_HANDLER handler = nullptr;
  std::vector<SimLogEntry> log;
  unsigned logons = 0;  // numbers the monitoring sessions
};

RfcLibState& State();

// The landscape of the current ZMO_SAP_SYSTEMS, loaded when first needed or
// when the variable changed; nullptr with *error when it cannot be had.
// Called with the mutex held.
std::shared_ptr<const Landscape> CurrentLandscape(RfcLibState& st, std::string* error);

// Records the last error. Called with the mutex held.
void SetError(RfcLibState& st, int group, const std::string& key, const std::string& status,
              const std::string& message);

// Calls the error handler with an operation name once the mutex is released:
// declare it before the lock.
class HandlerCall {
 public:
  HandlerCall() = default;
  HandlerCall(const HandlerCall&) = delete;
  HandlerCall& operator=(const HandlerCall&) = delete;
  ~HandlerCall() {
    if (handler_ != nullptr) handler_(operation_.c_str());
  }
  void Arm(const RfcLibState& st, const char* operation) {
    handler_ = st.handler;
    operation_ = operation;
  }

 private:
  RFC_ERROR_HANDLER handler_ = nullptr;
  std::string operation_;
};

// Appends to the call log (and its file). Called with the mutex held.
void AppendLog(RfcLibState& st, SimLogEntry entry);

// Internal tables, for the library's own use with the mutex held.
bool IsTable(const RfcLibState& st, ITAB_H table);
// Hands the lines to the table (their length is the table's), replacing
// what it held; the lines are moved, not copied.
void FillTable(ITAB_H table, std::vector<LineBuffer>&& lines);
const InstalledType* FindType(const RfcLibState& st, RFC_TYPEHANDLE handle);

}  // namespace zmo::rfc
