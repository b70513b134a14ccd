// The Oracle stand-ins: sqlldr73, sqlldr80 and sqlldr with the control
// files of the five load layouts, and sqlplus.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "dbtools_test_util.h"

namespace {

using dbtools_test::ControlText;
using dbtools_test::Crlf;
using dbtools_test::Field;
using dbtools_test::Read;
using dbtools_test::ToolTest;
using dbtools_test::Write;

const std::string kDate = "Date \"YYYYMMDDHH24MISS\"";

struct Width {
  const char* name;
  int width;
  bool date = false;
};

// Fields that follow each other from column 1.
std::vector<Field> Seq(const std::vector<Width>& widths) {
  std::vector<Field> out;
  int at = 1;
  for (const Width& w : widths) {
    out.push_back(
        {w.name, at, at + w.width - 1, w.date ? kDate : "Char(" + std::to_string(w.width) + ")"});
    at += w.width;
  }
  return out;
}

std::vector<Width> SnapHead() {
  return {{"RFC_DEST_STR", 20}, {"HOST_NAME", 30},  {"SYSTEM_LABEL", 34},
          {"SYS_ID", 3},        {"SNAP_CLIENT", 3}, {"SNAP_DATE", 14, true}};
}

std::vector<Width> Plus(std::vector<Width> head, const std::vector<Width>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

struct Layout {
  const char* control;  // control file name
  const char* data;     // data file name
  char table;
  std::vector<Field> fields;
  size_t record;  // record length
};

std::vector<Layout> Layouts() {
  std::vector<Width> cpu = SnapHead();
  for (const char* n :
       {"NUM_OF_CPU", "LOAD1_AVG", "LOAD5_AVG", "LOAD15_AVG", "USER_CPU", "SYSTEM_CPU", "IDLE_CPU",
        "PAGE_IN_SEC", "PAGE_OUT_SEC", "FREE_MEMORY", "TOT_MEMORY", "NUM_USERS", "NUM_MODI"}) {
    cpu.push_back({n, 8});
  }
  std::vector<Width> stati = {
      {"RECORD_TYPE", 1},   {"RFC_DEST_STR", 20}, {"HOST_NAME", 30},    {"SYSTEM_LABEL", 34},
      {"CLIENT", 3},        {"START_DATE", 14},   {"END_DATE", 14},     {"T_CODE", 20},
      {"DYNPRO_NUMBER", 4}, {"CUA_PROG", 40},     {"WP_ID", 4},         {"TASK_TYPE", 1},
      {"USER_NAME", 30},    {"CPU_TIME", 8},      {"RESPONSE_TIME", 8}, {"DATABASE_TIME", 8},
      {"KB_TRANSFERED", 8}, {"KB_CHANGED", 12},   {"WAIT_TIME", 8},     {"MEMORY_USED", 8},
      {"LOAD_TIME", 8},     {"GUI_TIME", 8},      {"GUI_COUNT", 8},     {"GUI_NET_TIME", 8}};
  return {
      {"zmoklvload.par", "zmostati.dat", 's', Seq(stati), 307},
      {"zmosnap_cpu.par", "zmosnap.cpu", 'c', Seq(cpu), 208},
      {"zmosnap_dsk.par", "zmosnap.dsk", 'd',
       Seq(Plus(SnapHead(), {{"DISK_NAME", 30},
                             {"UTILIZATION", 8},
                             {"AVG_QUEUE_LENGTH", 8},
                             {"AVG_WAIT", 8},
                             {"AVG_SERVICE", 8}})),
       166},
      {"zmosnap_lan.par", "zmosnap.lan", 'l',
       Seq(Plus(SnapHead(), {{"LAN_NAME", 30},
                             {"PACKETS_IN", 8},
                             {"PACKETS_OUT", 8},
                             {"IN_ERRORS", 8},
                             {"OUT_ERRORS", 8},
                             {"COLLISIONS", 8}})),
       174},
      {"zmosnap_avai.par", "zmoavai.dat", 'v',
       Seq({{"RFC_DEST_STR", 20},
            {"HOST_NAME", 30},
            {"SYSTEM_LABEL", 34},
            {"SYS_ID", 3},
            {"SNAP_DATE", 14, true},
            {"SYS_AVAILABLE", 1}}),
       102},
  };
}

// A record that fits the fields: blanks and digits, dates as dates.
std::string Record(const std::vector<Field>& fields, char fill = '7') {
  std::string r;
  for (const Field& f : fields) {
    r += f.type == kDate ? std::string("20040110153000") : std::string(f.to - f.from + 1, fill);
  }
  return r;
}

class SqlldrTest : public ToolTest {
 protected:
  // Writes the layout's control file and its data file of the given records.
  std::string Prepare(const Layout& l, const std::vector<std::string>& records) {
    std::string control = File(l.control);
    Write(control, ControlText(File(l.data), File("trace_zmo_out_put_daily.bad"),
                               File("trace_zmo_out_put_daily.dsc"),
                               std::string(1, l.table) + "01002003004000153", l.fields));
    Write(File(l.data), Crlf(records));
    return control;
  }
  std::vector<std::string> Args(const std::string& control) {
    return {"userid=zmo/secret@WH", "control=" + control, "log=" + File("load.log"),
            "bindsize=262144"};
  }
};

TEST_F(SqlldrTest, EveryLayoutLoadsWithEveryLoaderName) {
  for (const Layout& l : Layouts()) {
    std::string rec = Record(l.fields);
    ASSERT_EQ(rec.size(), l.record) << l.control;
    for (const char* tool : {"sqlldr73", "sqlldr80", "sqlldr"}) {
      std::string control = Prepare(l, {rec, Record(l.fields, ' ')});
      EXPECT_EQ(Run(tool, Args(control)), 0) << tool << " " << l.control << "\n"
                                             << Read(File("load.log"));
      std::string log = Read(File("load.log"));
      EXPECT_NE(log.find(std::string(tool) + ": 2 rows loaded into " + l.table +
                         "01002003004000153, 0 rejected\r\n"),
                std::string::npos)
          << log;
      EXPECT_EQ(log.find("secret"), std::string::npos) << "the log holds no password";
      EXPECT_FALSE(zmo::FileExists(File("trace_zmo_out_put_daily.bad").c_str()));
    }
  }
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 15u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"sqlldr73", "userid=zmo/****@WH",
                                                "control=" + File("zmoklvload.par"),
                                                "log=" + File("load.log"), "bindsize=262144"}));
}

TEST_F(SqlldrTest, RecordsThatDoNotFitGoToTheBadFile) {
  const Layout l = Layouts()[1];  // cpu
  std::string good = Record(l.fields);
  std::string shorter = good.substr(0, good.size() - 1);
  std::string longer = good + "9";  // a field written wider than its width
  std::string bad_date = good;
  bad_date.replace(90, 14, "2004-01-10 15:");
  std::string control = Prepare(l, {good, shorter, good, longer, bad_date});
  EXPECT_EQ(Run("sqlldr", Args(control)), zmo::dbtools::kToolRejected);
  EXPECT_EQ(Read(File("trace_zmo_out_put_daily.bad")), Crlf({shorter, longer, bad_date}));
  std::string log = Read(File("load.log"));
  for (const char* piece : {"record 2 of ", "207 characters, the fields take 208", "record 4 of ",
                            "record 5 of ", "SNAP_DATE \"2004-01-10 15:\" is no date",
                            "2 rows loaded into c01002003004000153, 3 rejected"}) {
    EXPECT_NE(log.find(piece), std::string::npos) << piece << "\n" << log;
  }
}

struct Refusal {
  std::vector<std::string> args;  // {control} stands for the control file's path
  const char* message;
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.message; }

class SqlldrRefusalTest : public SqlldrTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SqlldrRefusalTest, RefusesTheCommandLine) {
  std::string control = Prepare(Layouts()[4], {Record(Layouts()[4].fields)});
  std::vector<std::string> args;
  for (std::string a : GetParam().args) {
    size_t at = a.find("{control}");
    if (at != std::string::npos) a.replace(at, 9, control);
    at = a.find("{log}");
    if (at != std::string::npos) a.replace(at, 5, File("load.log"));
    args.push_back(a);
  }
  EXPECT_EQ(Run("sqlldr80", args), zmo::dbtools::kToolFailed);
  EXPECT_NE(Stderr().find(GetParam().message), std::string::npos) << Stderr();
  EXPECT_EQ(Calls().size(), 1u) << "a refused call is recorded too";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SqlldrRefusalTest,
    ::testing::Values(
        Refusal{{}, "userid= is missing"},
        Refusal{{"userid=a/b@c", "control={control}", "log={log}"}, "bindsize= is missing"},
        Refusal{
            {"userid=a/b@c", "control={control}", "log={log}", "bindsize=262144", "direct=true"},
            "unexpected argument direct=true"},
        Refusal{{"userid=a/b@c", "userid=a/b@c", "control={control}", "log={log}", "bindsize=1"},
                "userid= given twice"},
        Refusal{{"userid=a/b@c", "control={control}", "log={log}", "262144"},
                "unexpected argument 262144"},
        Refusal{{"userid=a@c", "control={control}", "log={log}", "bindsize=262144"},
                "userid is <user>/<password>@<data source>"},
        Refusal{{"userid=a/b@", "control={control}", "log={log}", "bindsize=262144"},
                "userid is <user>/<password>@<data source>"},
        Refusal{{"userid=a/b@c", "control={control}", "log={log}", "bindsize=big"},
                "bindsize is a number"},
        Refusal{{"userid=a/b@c", "control={control}", "log=", "bindsize=1"}, "log= is missing"},
        Refusal{{"USERID=a/b@c", "control={control}", "log={log}", "bindsize=1"},
                "unexpected argument USERID"},
        Refusal{{"userid=a/b@c", "control=/no/such.par", "log={log}", "bindsize=1"},
                "cannot read the control file /no/such.par"},
        Refusal{{"userid=a/b@c", "control={control}", "log=/no/dir/x.log", "bindsize=1"},
                "cannot create the log /no/dir/x.log"}));

struct ControlDamage {
  size_t line;           // index of the line to replace (from 0)
  const char* replaced;  // the new text; "" removes the line
  const char* message;
};

void PrintTo(const ControlDamage& c, std::ostream* os) { *os << c.message; }

class ControlFileTest : public SqlldrTest, public ::testing::WithParamInterface<ControlDamage> {};

TEST_P(ControlFileTest, ADamagedControlFileIsRefusedNamingItsLine) {
  const Layout l = Layouts()[4];  // availability: 6 fields
  std::string control = Prepare(l, {Record(l.fields)});
  std::string text = Read(control);
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t nl = text.find("\r\n", at);
    lines.push_back(text.substr(at, nl - at));
    at = nl + 2;
  }
  const ControlDamage& d = GetParam();
  if (*d.replaced) {
    lines[d.line] = d.replaced;
  } else {
    lines.erase(lines.begin() + static_cast<long>(d.line));
  }
  Write(control, Crlf(lines));
  EXPECT_EQ(Run("sqlldr", Args(control)), zmo::dbtools::kToolFailed);
  std::string log = Read(File("load.log"));
  EXPECT_NE(log.find(d.message), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ControlFileTest,
    ::testing::Values(ControlDamage{0, "Load", "line 1: expected Load Data"},
                      ControlDamage{1, "infile zmoavai.dat", "line 2: expected infile '<file>'"},
                      ControlDamage{3, "discardfile 'x.dsk'", "line 4: expected discardfile"},
                      ControlDamage{4, "", "line 5: expected truncate"},
                      ControlDamage{5, "PRESERVE", "line 6: expected PRESERVE BLANKS"},
                      ControlDamage{6, "into v1", "line 7: expected into table"},
                      ControlDamage{7, "RFC_DEST_STR     POSITION(1:20)      Char(20),",
                                    "line 8: the field list begins with ("},
                      ControlDamage{8, "HOST_NAME        POSITION(22:51)     Char(30),",
                                    "line 9: HOST_NAME begins at column 22, not at 21"},
                      ControlDamage{8, "HOST_NAME        POSITION(21:50)     Char(31),",
                                    "line 9: type Char(31) does not fit POSITION(21:50)"},
                      ControlDamage{8, "HOST_NAME        POSITION(21:50)     Char(30)",
                                    "line 9: the field line ends with ,"},
                      ControlDamage{8, "HOST_NAME        POSITION(21-50)     Char(30),",
                                    "line 9: bad position POSITION(21-50)"},
                      ControlDamage{11, "SNAP_DATE        POSITION(88:101)    Date \"YYYY-MM-DD\",",
                                    "line 12: a date field is Date"},
                      ControlDamage{12, "SYS_AVAILABLE    POSITION(102:102)   Char(1),",
                                    "line 13: the field line ends with )"},
                      ControlDamage{1, "infile '/no/such/zmoavai.dat'",
                                    "cannot read the data file /no/such/zmoavai.dat"}));

TEST_F(SqlldrTest, TheControlFileMayEndInLfOrHaveBlankLines) {
  const Layout l = Layouts()[4];
  std::string control = Prepare(l, {Record(l.fields)});
  std::string text = Read(control);
  std::string lf;
  for (char c : text) {
    if (c != '\r') lf += c;
  }
  Write(control, lf + "\n\n");
  EXPECT_EQ(Run("sqlldr", Args(control)), 0) << Read(File("load.log"));
}

TEST_F(ToolTest, SqlplusRunsAScriptThatExists) {
  Write(File("zmostati.sql"), "delete from x;\r\ninsert into y select * from z;\r\nexit;\r\n");
  EXPECT_EQ(Run("sqlplus", {"zmo/secret@WH", "@" + File("zmostati.sql")}), 0) << Stderr();
  EXPECT_EQ(Stdout(), "sqlplus: connected to WH as zmo\r\nsqlplus: ran " + File("zmostati.sql") +
                          ", 3 statements\r\n");
  EXPECT_EQ(Calls(), (std::vector<std::vector<std::string>>{
                         {"sqlplus", "zmo/****@WH", "@" + File("zmostati.sql")}}));
}

TEST_F(ToolTest, SqlplusRefusesOtherForms) {
  Write(File("s.sql"), "exit;\r\n");
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"zmo/secret@WH"},
      {"zmo/secret@WH", File("s.sql")},
      {"zmo@WH", "@" + File("s.sql")},
      {"zmo/secret@WH", "@" + File("s.sql"), "extra"},
      {"zmo/secret@WH", "@"},
  };
  for (const auto& args : wrong) {
    EXPECT_EQ(Run("sqlplus", args), zmo::dbtools::kToolFailed) << args.size();
    EXPECT_NE(Stderr().find("the form is sqlplus"), std::string::npos) << Stderr();
  }
  EXPECT_EQ(Run("sqlplus", {"zmo/secret@WH", "@" + File("missing.sql")}),
            zmo::dbtools::kToolFailed);
  EXPECT_NE(Stderr().find("cannot read the script"), std::string::npos) << Stderr();
}

}  // namespace
