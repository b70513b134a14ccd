// The hand-over of collecting files to the loader, and the start of a child.

#include "common/handover.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "test_support.h"
#include "zmo_test/files.h"

namespace {

std::vector<std::string>& Notes() {
  static std::vector<std::string> notes;
  return notes;
}

const char* StepName(zmo::HandOverStep step) {
  switch (step) {
    case zmo::HandOverStep::kEmptyLeftover:
      return "empty";
    case zmo::HandOverStep::kDeleteFailed:
      return "delete-failed";
    case zmo::HandOverStep::kLeftoverWithData:
      return "data";
    case zmo::HandOverStep::kRenameFailed:
      return "rename-failed";
  }
  return "?";
}

// Records each note with the file names' last parts.
void Note(zmo::HandOverStep step, const zmo::HandOverFile&, const char* from, const char* to) {
  auto base = [](const char* p) {
    const std::string s = p != nullptr ? p : "-";
    return s.substr(s.rfind('/') + 1);
  };
  Notes().push_back(std::string(StepName(step)) + " " + base(from) + " " + base(to));
}

class HandOver : public zmo_test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    Notes().clear();
    mkdir(dir_.File("ArchiveData").c_str(), 0755);
  }
  void Write(const std::string& name, const std::string& data) {
    ASSERT_EQ(zmo::WriteFileAtomic(dir_.File(name), data), 0);
  }
  std::string Read(const std::string& name) {
    std::string data;
    return zmo::ReadWholeFile(dir_.File(name), &data) == 0 ? data : "<none>";
  }
  zmo::HandOverFile Stati() { return {dir_.File("zmo_stati.dat"), dir_.File("zmostati.dat")}; }
  // Nothing is ever archived by the hand-over.
  bool ArchiveEmpty() { return zmo_test::SortedFileNames(dir_.File("ArchiveData")).empty(); }
};

TEST_F(HandOver, LeftoverUnderTheHandOverName) {
  struct Case {
    const char* name;
    const char* leftover;  // nullptr: none
    int result;
    std::vector<std::string> notes;
    const char* handed_over;  // zmostati.dat afterwards
    const char* collecting;   // zmo_stati.dat afterwards
  } cases[] = {
      {"no leftover", nullptr, 0, {}, "new\r\n", "<none>"},
      {"empty leftover is deleted", "", 0, {"empty zmostati.dat -"}, "new\r\n", "<none>"},
      // Not loaded yet: it stays for the loader, and the new records wait.
      {"leftover with data waits for the loader",
       "old\r\n",
       zmo::kHandOverPending,
       {"data zmostati.dat -"},
       "old\r\n",
       "new\r\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Notes().clear();
    Write("zmo_stati.dat", "new\r\n");
    if (k.leftover != nullptr) Write("zmostati.dat", k.leftover);
    const zmo::HandOverFile f = Stati();
    EXPECT_EQ(zmo::handOverFiles(&f, 1, Note), k.result);
    EXPECT_EQ(Notes(), k.notes);
    EXPECT_EQ(Read("zmostati.dat"), k.handed_over);
    EXPECT_EQ(Read("zmo_stati.dat"), k.collecting);
    EXPECT_TRUE(ArchiveEmpty());
    std::remove(dir_.File("zmostati.dat").c_str());
    std::remove(dir_.File("zmo_stati.dat").c_str());
  }
}

TEST_F(HandOver, WithoutArchiveDirectoryALeftoverWithDataStillWaits) {
  ASSERT_EQ(rmdir(dir_.File("ArchiveData").c_str()), 0);
  Write("zmo_stati.dat", "new\r\n");
  Write("zmostati.dat", "old\r\n");
  const zmo::HandOverFile f = Stati();
  EXPECT_EQ(zmo::handOverFiles(&f, 1, Note), zmo::kHandOverPending);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"data zmostati.dat -"}));
  EXPECT_EQ(Read("zmostati.dat"), "old\r\n");
  EXPECT_EQ(Read("zmo_stati.dat"), "new\r\n");
  EXPECT_FALSE(zmo::FileExists(dir_.File("ArchiveData").c_str())) << "not created here";
}

TEST_F(HandOver, MissingCollectingFileFails) {
  const zmo::HandOverFile f = Stati();
  EXPECT_EQ(zmo::handOverFiles(&f, 1, Note), zmo::kHandOverFailed);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"rename-failed zmo_stati.dat zmostati.dat"}));
  EXPECT_EQ(Read("zmostati.dat"), "<none>");
}

// The snapshot collector's four files.
std::vector<zmo::HandOverFile> SnapFiles(const zmo_test::TempDir& dir) {
  std::vector<zmo::HandOverFile> files;
  const char* names[][2] = {{"zmosnapavai.dat", "zmoavai.dat"},
                            {"zmosnipsnap.cpu", "zmosnap.cpu"},
                            {"zmosnipsnap.dsk", "zmosnap.dsk"},
                            {"zmosnipsnap.lan", "zmosnap.lan"}};
  for (auto& n : names) files.push_back({dir.File(n[0]), dir.File(n[1])});
  return files;
}

TEST_F(HandOver, FourFilesTogether) {
  const auto files = SnapFiles(dir_);
  for (const auto& f : files) ASSERT_EQ(zmo::WriteFileAtomic(f.collecting, "rec\r\n"), 0);
  Write("zmosnap.lan", "");
  EXPECT_EQ(zmo::handOverFiles(files.data(), files.size(), Note), 0);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"empty zmosnap.lan -"}));
  for (const auto& f : files) {
    std::string data;
    EXPECT_EQ(zmo::ReadWholeFile(f.hand_over, &data), 0) << f.hand_over;
    EXPECT_EQ(data, "rec\r\n");
    EXPECT_FALSE(zmo::FileExists(f.collecting.c_str()));
  }
  EXPECT_TRUE(ArchiveEmpty());
}

TEST_F(HandOver, FailedRenameRenamesTheEarlierFilesBack) {
  const auto files = SnapFiles(dir_);
  // The disk file was never written: its rename fails after two others.
  for (size_t i : {0u, 1u, 3u}) {
    ASSERT_EQ(zmo::WriteFileAtomic(files[i].collecting, "rec\r\n"), 0);
  }
  EXPECT_EQ(zmo::handOverFiles(files.data(), files.size(), Note), zmo::kHandOverFailed);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"rename-failed zmosnipsnap.dsk zmosnap.dsk"}));
  for (size_t i : {0u, 1u, 3u}) {
    EXPECT_TRUE(zmo::FileExists(files[i].collecting.c_str())) << files[i].collecting;
    EXPECT_FALSE(zmo::FileExists(files[i].hand_over.c_str())) << files[i].hand_over;
  }
}

TEST_F(HandOver, OneUnloadedFileKeepsAllFourCollecting) {
  const auto files = SnapFiles(dir_);
  for (const auto& f : files) ASSERT_EQ(zmo::WriteFileAtomic(f.collecting, "rec\r\n"), 0);
  Write("zmosnap.cpu", "");
  Write("zmosnap.lan", "left\r\n");
  EXPECT_EQ(zmo::handOverFiles(files.data(), files.size(), Note), zmo::kHandOverPending);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"empty zmosnap.cpu -", "data zmosnap.lan -"}));
  for (const auto& f : files) {
    EXPECT_EQ(Read(f.collecting.substr(f.collecting.rfind('/') + 1)), "rec\r\n") << f.collecting;
  }
  EXPECT_FALSE(zmo::FileExists(files[0].hand_over.c_str()));
  EXPECT_FALSE(zmo::FileExists(files[1].hand_over.c_str())) << "the empty one is gone";
  EXPECT_EQ(Read("zmosnap.lan"), "left\r\n");
  EXPECT_TRUE(ArchiveEmpty());
}

class ExecCommand : public zmo_test::RuntimeTest {
 protected:
  // A program that writes each argument it receives on a line of its own.
  std::string Recorder(int exit_code) {
    const std::string path = dir_.File("recorder");
    const std::string script =
        "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" +
        dir_.File("args") + "'\nexit " + std::to_string(exit_code) + "\n";
    EXPECT_EQ(zmo::WriteFileAtomic(path, script, 0755), 0);
    return path;
  }
};

TEST_F(ExecCommand, ChildReceivesTheElementsAsTheWindowsCommandLineSplitsThem) {
  const std::string path = Recorder(0);
  EXPECT_EQ(
      zmo::execCommand(path, {path, " -T", " -P STATI", " -M \"Batch run start date <20240304>\""}),
      0);
  std::string args;
  ASSERT_EQ(zmo::ReadWholeFile(dir_.File("args"), &args), 0);
  EXPECT_EQ(args, "[" + path + "]\n[-T]\n[-P]\n[STATI]\n[-M]\n[Batch run start date <20240304>]\n");
  EXPECT_EQ(TraceTexts(), (std::vector<std::string>{"spawn(" + path + ") returned <0>."}));
}

TEST_F(ExecCommand, ExitCodeOfTheChildIsNotAFailure) {
  const std::string path = Recorder(3);
  EXPECT_EQ(zmo::execCommand(path, {path}), 0);
  EXPECT_EQ(TraceTexts(), (std::vector<std::string>{"spawn(" + path + ") returned <3>."}));
}

TEST_F(ExecCommand, MissingProgramIsAFailedStart) {
  const std::string path = dir_.File("zmoloader");
  EXPECT_EQ(zmo::execCommand(path, {path, " -A"}), 1);
  EXPECT_EQ(TraceTexts(), (std::vector<std::string>{"spawn(" + path + ") returned <-1>.",
                                                    "errno is <2> (No such file or directory)."}));
}

}  // namespace
