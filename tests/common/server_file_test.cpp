// The application-server file: lines, fields by column, and the open that
// waits for a file being rewritten.

#include "common/server_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "test_support.h"

namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string Pad(const std::string& text, size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

// One record as the configurator writes it, without its line end.
std::string Record(const std::string& host, const std::string& user, const std::string& pw,
                   const std::string& sid, const std::string& client, const std::string& sysnr,
                   const std::string& language) {
  return Pad(host, 100) + Pad(user, 30) + Pad(pw, 30) + Pad(sid, 3) + Pad(client, 3) +
         Pad(sysnr, 2) + "000000" + "240000" + Pad(language, 1);
}

std::vector<std::string> ServerLines(const std::string& data) {
  std::vector<std::string> lines;
  size_t pos = 0;
  std::string_view line;
  while (zmo::nextServerLine(data, &pos, &line)) lines.emplace_back(line);
  return lines;
}

TEST(ServerFileLines, OnlyLinesOf168CharactersOrMoreAreServers) {
  const std::string a(167, 'a'), b(168, 'b'), c(183, 'c'), d(500, 'd');
  struct Case {
    const char* name;
    std::string data;
    std::vector<std::string> servers;
  } cases[] = {
      {"empty file", "", {}},
      {"167 then a record", a + "\r\n" + c + "\r\n", {c}},
      {"168 exactly", b + "\n", {b}},
      {"CR LF ends give an empty line that is skipped", c + "\r\n" + b + "\r\n", {c, b}},
      {"lone CR ends a line", c + "\r" + b, {c, b}},
      {"last line without an end", a + "\n" + d, {d}},
      {"blank lines between", "\n\n" + c + "\n\n\n" + c, {c, c}},
      {"short lines only", a + "\n" + std::string(10, ' ') + "\n", {}},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(ServerLines(k.data), k.servers) << k.name;
  }
}

TEST(ServerFileFields, FullRecord) {
  zmo::ServerLine s;
  zmo::parseServerLine(
      Record("sapt46.example.net", "ZMOMON", "AbCdEfGhIjKl", "T46", "100", "07", "D"), &s);
  EXPECT_EQ(s.host, "sapt46.example.net");
  EXPECT_EQ(s.user, "ZMOMON");
  EXPECT_EQ(s.password, "AbCdEfGhIjKl");
  EXPECT_EQ(s.sid, "T46");
  EXPECT_EQ(s.client, "100");
  EXPECT_EQ(s.sysnr, 7);
  EXPECT_EQ(s.language, "D");
}

TEST(ServerFileFields, EachFieldStaysInsideItsColumns) {
  struct Case {
    const char* name;
    std::string line;
    const char* user;
    const char* sid;
    int sysnr;
    const char* language;
  } cases[] = {
      // A blank language is empty, not the next line's or the window's text.
      {"blank language", Record("h.example", "U", "PPPPPPPPP", "T46", "100", "00", " "), "U", "T46",
       0, ""},
      // A line that ends before column 180 has no language.
      {"line of 175", Record("h.example", "U", "PPPPPPPPP", "T46", "100", "00", "E").substr(0, 175),
       "U", "T46", 0, ""},
      {"line of 168", Record("h.example", "U", "PPPPPPPPP", "T46", "100", "12", "E").substr(0, 168),
       "U", "T46", 12, ""},
      // A blank user is empty instead of the password that follows it.
      {"blank user", Record("h.example", "", "PPPPPPPPP", "T46", "100", "00", "E"), "", "T46", 0,
       "E"},
      // A value that fills its width does not run on into the next field.
      {"full-width user",
       Record("h.example", std::string(30, 'u'), "PPPPPPPPP", "T46", "100", "00", "E"),
       "uuuuuuuuuuuuuuuuuuuuuuuuuuuuuu", "T46", 0, "E"},
      {"leading blanks of a field are skipped",
       Record("h.example", "  U2", "PPPPPPPPP", " T4", "100", " 3", "E"), "U2", "T4", 3, "E"},
      {"a word ends at its first blank",
       Record("h.example", "U V", "PPPPPPPPP", "T46", "100", "00", "E"), "U", "T46", 0, "E"},
  };
  for (const Case& k : cases) {
    zmo::ServerLine s;
    zmo::parseServerLine(k.line, &s);
    EXPECT_EQ(s.user, k.user) << k.name;
    EXPECT_EQ(s.sid, k.sid) << k.name;
    EXPECT_EQ(s.sysnr, k.sysnr) << k.name;
    EXPECT_EQ(s.language, k.language) << k.name;
  }
}

TEST(ServerFileFields, ShortLineInAFileBorrowsNothingFromTheNextLine) {
  const std::string first = Record("a.example", "UA", "PPPPPPPPP", "TA1", "100", "01", "E");
  const std::string data = first.substr(0, 172) + "\r\n" +
                           Record("b.example", "UB", "QQQQQQQQQ", "TB1", "200", "02", "D") + "\r\n";
  size_t pos = 0;
  std::string_view line;
  zmo::ServerLine s;
  ASSERT_TRUE(zmo::nextServerLine(data, &pos, &line));
  zmo::parseServerLine(line, &s);
  EXPECT_EQ(s.host, "a.example");
  EXPECT_EQ(s.language, "");
  ASSERT_TRUE(zmo::nextServerLine(data, &pos, &line));
  zmo::parseServerLine(line, &s);
  EXPECT_EQ(s.host, "b.example");
  EXPECT_EQ(s.language, "D");
  EXPECT_FALSE(zmo::nextServerLine(data, &pos, &line));
}

TEST(ServerFileFields, HostNames) {
  struct Case {
    const char* field;
    const char* host;
    const char* short_host;
  } cases[] = {
      {"sapt46.example.net", "sapt46.example.net", "sapt46"},
      {"/H/gw.example.net/S/3299/H/sapt62.example.net", "sapt62.example.net", "sapt62"},
      {"sapt45", "sapt45", "sapt45"},
      {"10.1.4.40", "10.1.4.40", "10"},
      {"/H/router/", "", ""},
      {"", "", ""},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(zmo::serverHostName(k.field), k.host) << k.field;
    EXPECT_EQ(zmo::serverShortHost(zmo::serverHostName(k.field)), k.short_host) << k.field;
  }
  // The router string stays whole in the host field, which RfcOpen receives.
  zmo::ServerLine s;
  zmo::parseServerLine(
      Record("/H/gw.example.net/S/3299/H/sapt62.example.net", "U", "P", "T62", "100", "00", "E"),
      &s);
  EXPECT_EQ(s.host, "/H/gw.example.net/S/3299/H/sapt62.example.net");
}

class ServerFileRead : public zmo_test::RuntimeTest {};

TEST_F(ServerFileRead, ReadsTheWholeFileAsItIs) {
  const std::string data =
      Record("a.example", "U", "P", "T1", "100", "00", "E") + "\r\n" + "\xff tail without end";
  const std::string path = dir_.File("zmoserver.dat");
  ASSERT_EQ(zmo::WriteFileAtomic(path, data), 0);
  zmo::ScopedFakeClock clock(1000);
  std::string got;
  EXPECT_EQ(zmo::readServerFile(path.c_str(), &got), 0);
  EXPECT_EQ(got, data);
  EXPECT_EQ(clock->NowMillis(), 1000) << "no wait when the file is there";
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(ServerFileRead, EmptyFileIsReadAsNoServers) {
  const std::string path = dir_.File("zmoserver.dat");
  ASSERT_EQ(zmo::WriteFileAtomic(path, ""), 0);
  std::string got = "old";
  EXPECT_EQ(zmo::readServerFile(path.c_str(), &got), 0);
  EXPECT_EQ(got, "");
}

TEST_F(ServerFileRead, MissingFileIsTriedTenTimesThreeSecondsApart) {
  const std::string path = dir_.File("absent.dat");
  zmo::ScopedFakeClock clock(0);
  std::string got;
  EXPECT_EQ(zmo::readServerFile(path.c_str(), &got), 1);
  EXPECT_EQ(clock->NowMillis(), 30000);
  std::vector<std::string> expected;
  for (int i = 1; i <= 10; ++i) {
    expected.push_back("open infile <" + path + "> failed. attempt <" + std::to_string(i) +
                       ">. sleeping for <3> sec");
  }
  EXPECT_EQ(TraceTexts(), expected);
}

TEST_F(ServerFileRead, FileThatAppearsWhileWaitingIsRead) {
  const std::string path = dir_.File("zmoserver.dat");
  const std::string data = Record("a.example", "U", "P", "T1", "100", "00", "E") + "\r\n";
  zmo::ScopedFakeClock clock(0);
  // The configurator's rewrite ends after the third wait.
  clock->SetAdvanceHook([&](std::int64_t now) {
    if (now == 9000) zmo::WriteFileAtomic(path, data);
  });
  std::string got;
  EXPECT_EQ(zmo::readServerFile(path.c_str(), &got), 0);
  EXPECT_EQ(got, data);
  EXPECT_EQ(clock->NowMillis(), 9000);
  EXPECT_THAT(TraceTexts(), SizeIs(3u));
}

TEST_F(ServerFileRead, DirectoryInPlaceOfTheFileIsAReadFailure) {
  // A directory opens for reading on Linux but cannot be read.
  zmo::ScopedFakeClock clock(0);
  std::string got;
  EXPECT_EQ(zmo::readServerFile(dir_.path().c_str(), &got), 3);
  EXPECT_TRUE(got.empty());
}

}  // namespace
