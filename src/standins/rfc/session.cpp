// Connections and calls: RfcOpen logs on to a simulated system, RfcCall makes
// the answer and schedules it on the clock, RfcListen and RfcReceive hand it
// over once it is due.
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "answers.h"
#include "platform/clock.h"

namespace zmo::rfc {
namespace {

std::string Str(const char* s) { return s == nullptr ? "" : s; }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string NameOf(const void* name, unsigned nlen) {
  const char* n = static_cast<const char*>(name);
  return Upper(nlen == 0 ? std::string(n) : std::string(n, strnlen(n, nlen)));
}

bool IsCharType(RFC_TYPEHANDLE t) {
  return t == TYPC || t == TYPDATE || t == TYPTIME || t == TYPNUM;
}

long long ReadInt(const std::string& bytes) {
  if (bytes.size() >= 4) {
    std::int32_t v;
    std::memcpy(&v, bytes.data(), 4);
    return v;
  }
  if (bytes.size() >= 2) {
    std::int16_t v;
    std::memcpy(&v, bytes.data(), 2);
    return v;
  }
  return bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
}

// How the call log shows a value: text as sent, integers in decimal, other
// bytes in hex.
std::string Shown(const ExportValue& v) {
  if (IsCharType(v.type)) return v.bytes;
  if (v.type == TYPINT || v.type == TYPINT2) return std::to_string(ReadInt(v.bytes));
  std::string hex;
  char buf[3];
  for (unsigned char c : v.bytes) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    hex += buf;
  }
  return hex;
}

// Writes an answer value into the caller's parameter, never past leng.
void Store(const ImportValue& v, const RFC_PARAMETER& p) {
  auto* out = static_cast<unsigned char*>(p.addr);
  if (out == nullptr || p.leng == 0) return;
  if (v.kind == ImportValue::kInt) {
    if (p.type == TYPINT && p.leng >= 4) {
      std::int32_t n = static_cast<std::int32_t>(v.number);
      std::memcpy(out, &n, 4);
    } else if (p.type == TYPINT2 && p.leng >= 2) {
      std::int16_t n = static_cast<std::int16_t>(v.number);
      std::memcpy(out, &n, 2);
    } else {
      char buf[24];
      if (p.type == TYPNUM) {
        std::snprintf(buf, sizeof buf, "%0*lld", static_cast<int>(p.leng < 20 ? p.leng : 20),
                      v.number);
      } else {
        std::snprintf(buf, sizeof buf, "%lld", v.number);
      }
      std::memset(out, ' ', p.leng);
      std::memcpy(out, buf, std::min<size_t>(std::strlen(buf), p.leng));
    }
    return;
  }
  std::memset(out, p.type == TYPX ? 0 : ' ', p.leng);
  std::memcpy(out, v.bytes.data(), std::min<size_t>(v.bytes.size(), p.leng));
}

Connection* Find(RfcLibState& st, RFC_HANDLE handle) {
  auto it = st.connections.find(handle);
  return it == st.connections.end() ? nullptr : &it->second;
}

RFC_RC Fail(RfcLibState& st, HandlerCall* notify, const char* operation, int group, const char* key,
            const std::string& message, RFC_RC rc = RFC_FAILURE) {
  SetError(st, group, key, operation, message);
  notify->Arm(st, operation);
  return rc;
}

// The logon checks in the order a system makes them. "" when accepted.
std::string LogonRefusal(const SimSystem& s, const RFC_OPTIONS& o, std::string* key) {
  *key = "RFC_ERROR_LOGON_FAILURE";
  if (!s.refuse.empty()) return s.refuse;
  if (Str(o.client) != s.client)
    return "Client " + Str(o.client) + " is not available in this system";
  if (strcasecmp(Str(o.user).c_str(), s.user.c_str()) != 0 || Str(o.password) != s.password) {
    return "Name or password is incorrect (repeat logon)";
  }
  if (!s.language.empty() && o.language != nullptr && o.language[0] != '\0' &&
      strcasecmp(Str(o.language).substr(0, 1).c_str(), s.language.c_str()) != 0) {
    return "Language " + Str(o.language) + " is not installed";
  }
  return "";
}

}  // namespace
}  // namespace zmo::rfc

using namespace zmo::rfc;

extern "C" RFC_HANDLE RfcOpen(RFC_OPTIONS* options) {
  auto& st = State();
  HandlerCall notify;
  std::lock_guard<std::mutex> lock(st.mu);
  if (options == nullptr || options->connopt == nullptr) {
    Fail(st, &notify, "RfcOpen", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM",
         "RfcOpen needs options with connection options");
    return RFC_HANDLE_NULL;
  }
  const auto* conn = static_cast<const RFC_CONNOPT_R3ONLY*>(options->connopt);
  SimLogEntry entry;
  entry.at_ms = zmo::ClockNowMillis();
  entry.event = "open";
  entry.values = {{"DESTINATION", Str(options->destination)},
                  {"MODE", std::to_string(options->mode)},
                  {"HOST", Str(conn->hostname)},
                  {"SYSNR", std::to_string(conn->sysnr)},
                  {"GWHOST", Str(conn->gateway_host)},
                  {"GWSERV", Str(conn->gateway_service)},
                  {"CLIENT", Str(options->client)},
                  {"USER", Str(options->user)},
                  {"PASSWORD", Str(options->password)},
                  {"LANGUAGE", Str(options->language)},
                  {"TRACE", std::to_string(options->trace)}};
  std::string error, key = "RFC_ERROR_COMMUNICATION";
  int group = RFC_ERROR_COMMUNICATION;
  auto land = CurrentLandscape(st, &error);
  const SimSystem* sys = nullptr;
  if (land) {
    if (options->mode != RFC_MODE_R3ONLY) {
      error = "connection mode " + std::to_string(options->mode) +
              " is not supported (host and system number only)";
    } else if ((sys = land->Find(Str(conn->hostname), conn->sysnr)) == nullptr) {
      char nr[16];
      std::snprintf(nr, sizeof nr, "%02d", conn->sysnr);
      error = "partner " + Str(conn->hostname) + " system number " + nr +
              " not reached: no simulated system in " + land->dir +
              " has this host and system number";
    } else {
      error = LogonRefusal(*sys, *options, &key);
      if (!error.empty()) group = RFC_ERROR_LOGON_FAILURE;
    }
  } else {
    key = "RFC_ERROR_PROGRAM";
    group = RFC_ERROR_PROGRAM;
  }
  if (sys != nullptr) entry.system = sys->name;
  if (!error.empty()) {
    AppendLog(st, std::move(entry));
    Fail(st, &notify, "RfcOpen", group, key.c_str(), error);
    return RFC_HANDLE_NULL;
  }
  RFC_HANDLE handle = st.next_handle++;
  Connection& c = st.connections[handle];
  c.landscape = land;
  c.system = sys;
  entry.result = static_cast<int>(handle);
  AppendLog(st, std::move(entry));
  return handle;
}

extern "C" RFC_RC RfcCall(RFC_HANDLE handle, const char* function, RFC_PARAMETER* exporting,
                          RFC_TABLE* tables) {
  auto& st = State();
  HandlerCall notify;
  std::lock_guard<std::mutex> lock(st.mu);
  Connection* conn = Find(st, handle);
  if (conn == nullptr)
    return Fail(st, &notify, "RfcCall", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM", "invalid handle");
  if (function == nullptr || *function == '\0') {
    return Fail(st, &notify, "RfcCall", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM",
                "no function module named");
  }
  if (conn->pending) {
    return Fail(st, &notify, "RfcCall", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM",
                "the answer of " + conn->pending->function + " has not been received yet");
  }
  const std::string name = Upper(function);
  const SimSystem& sys = *conn->system;
  SimLogEntry entry;
  entry.at_ms = zmo::ClockNowMillis();
  entry.system = sys.name;
  entry.event = "call";
  entry.function = name;
  Exports exports;
  std::string refusal;
  for (RFC_PARAMETER* p = exporting; p != nullptr && p->name != nullptr; ++p) {
    ExportValue v;
    v.type = p->type;
    if (p->addr != nullptr) {
      v.bytes.assign(static_cast<const char*>(p->addr), p->leng);
    } else if (p->leng != 0) {
      refusal = "parameter " + NameOf(p->name, p->nlen) + " has no value";
    }
    entry.values.emplace_back(NameOf(p->name, p->nlen), Shown(v));
    exports[NameOf(p->name, p->nlen)] = std::move(v);
  }
  std::vector<TableArg> args;
  for (RFC_TABLE* t = tables; t != nullptr && t->name != nullptr; ++t) {
    TableArg a{NameOf(t->name, t->nlen), t->leng, t->type, t->ithandle};
    entry.tables.push_back(a.name + "/" + std::to_string(a.leng));
    if (!IsTable(st, a.handle)) {
      refusal = "table " + a.name + ": unknown table handle";
    } else if (a.handle->leng != a.leng) {
      refusal = "table " + a.name + ": leng " + std::to_string(a.leng) +
                " differs from the table's line length " + std::to_string(a.handle->leng);
    }
    args.push_back(a);
  }
  const FunctionBehaviour& b = sys.Behaviour(name);
  Answer answer;
  if (refusal.empty() && b.call_rc == 0 && !b.absent) {
    CallContext ctx{st, sys, *conn, exports, args};
    if (FindAnswer(name)(ctx, &answer, &refusal) == 0) {
      if (!b.exception.empty())
        Raise(&answer, RFC_EXCEPTION, b.exception,
              "exception " + b.exception + " raised by " + name);
      if (!b.sys_exception.empty()) {
        Raise(&answer, RFC_SYS_EXCEPTION, b.sys_exception,
              "system exception " + b.sys_exception + " in " + name);
      }
      if (!b.table_fault.empty() && answer.tables.count(b.table_fault) != 0) {
        answer = Answer();
        answer.rc = RFC_FAILURE;
        answer.error = {RFC_ERROR_COMMUNICATION, "RFC_ERROR_COMMUNICATION", "RfcReceive",
                        "table " + b.table_fault + " of " + name + " could not be received"};
      }
    }
  } else if (b.absent) {
    answer.rc = RFC_FAILURE;
    answer.error = {RFC_ERROR_SYSTEM_FAILURE, "FU_NOT_FOUND", "RfcReceive",
                    "Function module \"" + name + "\" not found in system " + sys.sysid};
  }
  RFC_RC rc = RFC_OK;
  if (!refusal.empty()) {
    rc =
        Fail(st, &notify, "RfcCall", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM", name + ": " + refusal);
  } else if (b.call_rc != 0) {
    rc = Fail(st, &notify, "RfcCall", RFC_ERROR_COMMUNICATION, "RFC_ERROR_COMMUNICATION",
              "call of " + name + " failed (rc " + std::to_string(b.call_rc) + ")",
              static_cast<RFC_RC>(b.call_rc));
  } else {
    conn->pending = Pending{name, entry.at_ms + b.delay_ms, b.listen_rc, std::move(answer)};
  }
  entry.result = rc;
  AppendLog(st, std::move(entry));
  return rc;
}

namespace {

// The listen fault of a due answer: the connection broke while waiting.
RFC_RC BrokenWhileWaiting(RfcLibState& st, HandlerCall* notify, Connection* conn,
                          const char* operation) {
  const Pending p = std::move(*conn->pending);
  conn->pending.reset();
  return Fail(st, notify, operation, RFC_ERROR_COMMUNICATION, "RFC_ERROR_COMMUNICATION",
              "connection to partner broken while waiting for the answer of " + p.function,
              static_cast<RFC_RC>(p.listen_rc));
}

}  // namespace

extern "C" RFC_RC RfcListen(RFC_HANDLE handle) {
  auto& st = State();
  HandlerCall notify;
  std::lock_guard<std::mutex> lock(st.mu);
  Connection* conn = Find(st, handle);
  if (conn == nullptr)
    return Fail(st, &notify, "RfcListen", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM", "invalid handle");
  if (!conn->pending)
    return Fail(st, &notify, "RfcListen", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM",
                "no call outstanding");
  if (zmo::ClockNowMillis() < conn->pending->ready_at_ms) return RFC_RETRY;
  if (conn->pending->listen_rc != 0) return BrokenWhileWaiting(st, &notify, conn, "RfcListen");
  return RFC_OK;
}

extern "C" RFC_RC RfcReceive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                             char** exception) {
  auto& st = State();
  HandlerCall notify;
  std::unique_lock<std::mutex> lock(st.mu);
  if (exception != nullptr) *exception = nullptr;
  Connection* conn = Find(st, handle);
  if (conn == nullptr || !conn->pending) {
    return Fail(st, &notify, "RfcReceive", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM",
                conn == nullptr ? "invalid handle" : "no call outstanding");
  }
  // Waits for a late answer through the clock (a fake clock just advances).
  for (std::int64_t now = zmo::ClockNowMillis();
       conn != nullptr && conn->pending && now < conn->pending->ready_at_ms;
       now = zmo::ClockNowMillis()) {
    const std::int64_t wait = conn->pending->ready_at_ms - now;
    lock.unlock();
    zmo::ClockSleepMillis(wait);
    lock.lock();
    conn = Find(st, handle);
  }
  if (conn == nullptr || !conn->pending) {
    return Fail(st, &notify, "RfcReceive", RFC_ERROR_COMMUNICATION, "RFC_ERROR_COMMUNICATION",
                "connection closed while waiting for the answer");
  }
  if (conn->pending->listen_rc != 0) return BrokenWhileWaiting(st, &notify, conn, "RfcReceive");
  Answer a = std::move(conn->pending->answer);
  conn->pending.reset();
  if (a.rc == RFC_EXCEPTION || a.rc == RFC_SYS_EXCEPTION) {
    conn->exception = a.exception;
    if (exception != nullptr) *exception = conn->exception.data();
    SetError(st, a.error.group, a.error.key, a.error.status, a.error.message);
    if (a.rc == RFC_SYS_EXCEPTION) notify.Arm(st, "RfcReceive");
    return a.rc;
  }
  if (a.rc != RFC_OK)
    return Fail(st, &notify, "RfcReceive", a.error.group, a.error.key.c_str(), a.error.message,
                a.rc);
  for (RFC_PARAMETER* p = importing; p != nullptr && p->name != nullptr; ++p) {
    auto it = a.imports.find(NameOf(p->name, p->nlen));
    if (it != a.imports.end()) Store(it->second, *p);
  }
  for (RFC_TABLE* t = tables; t != nullptr && t->name != nullptr; ++t) {
    auto it = a.tables.find(NameOf(t->name, t->nlen));
    if (it == a.tables.end()) continue;
    const size_t line_size = it->second.lines.empty() ? t->leng : it->second.leng;
    if (!IsTable(st, t->ithandle) || t->ithandle->leng != line_size) {
      return Fail(st, &notify, "RfcReceive", RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM",
                  "table " + it->first + " is not the table of line length " +
                      std::to_string(line_size) + " passed with the call");
    }
    FillTable(t->ithandle, std::move(it->second.lines));
  }
  return RFC_OK;
}

extern "C" void RfcClose(RFC_HANDLE handle) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  for (auto it = st.connections.begin(); it != st.connections.end();) {
    if (handle != RFC_HANDLE_NULL && it->first != handle) {
      ++it;
      continue;
    }
    SimLogEntry entry;
    entry.at_ms = zmo::ClockNowMillis();
    entry.system = it->second.system->name;
    entry.event = "close";
    entry.result = static_cast<int>(it->first);
    AppendLog(st, std::move(entry));
    it = st.connections.erase(it);
  }
}
