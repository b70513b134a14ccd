// The hand-over of collecting files to the loader, and the start of a child.

#include "common/handover.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "test_support.h"

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
  zmo::HandOverFile Stati(const std::string& stamp = "202403041100") {
    return {dir_.File("zmo_stati.dat"), dir_.File("zmostati.dat"),
            dir_.File("ArchiveData/stati_m_" + stamp + ".dat")};
  }
};

TEST_F(HandOver, LeftoverUnderTheHandOverName) {
  struct Case {
    const char* name;
    const char* leftover;  // nullptr: none
    std::vector<std::string> notes;
    const char* archived;  // content of the archive afterwards
  } cases[] = {
      {"no leftover", nullptr, {}, "<none>"},
      {"empty leftover is deleted", "", {"empty zmostati.dat -"}, "<none>"},
      {"leftover with data is archived",
       "old\r\n",
       {"data zmostati.dat stati_m_202403041100.dat"},
       "old\r\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Notes().clear();
    std::remove(dir_.File("ArchiveData/stati_m_202403041100.dat").c_str());
    Write("zmo_stati.dat", "new\r\n");
    if (k.leftover != nullptr) Write("zmostati.dat", k.leftover);
    const zmo::HandOverFile f = Stati();
    EXPECT_EQ(zmo::handOverFiles(&f, 1, Note), 0);
    EXPECT_EQ(Notes(), k.notes);
    EXPECT_EQ(Read("zmostati.dat"), "new\r\n");
    EXPECT_EQ(Read("zmo_stati.dat"), "<none>");
    EXPECT_EQ(Read("ArchiveData/stati_m_202403041100.dat"), k.archived);
    std::remove(dir_.File("zmostati.dat").c_str());
  }
}

TEST_F(HandOver, WithoutArchiveDirectoryALeftoverWithDataBlocksTheHandOver) {
  ASSERT_EQ(rmdir(dir_.File("ArchiveData").c_str()), 0);
  Write("zmo_stati.dat", "new\r\n");
  Write("zmostati.dat", "old\r\n");
  const zmo::HandOverFile f = Stati();
  EXPECT_EQ(zmo::handOverFiles(&f, 1, Note), zmo::kHandOverFailed);
  EXPECT_EQ(Notes(),
            (std::vector<std::string>{"data zmostati.dat stati_m_202403041100.dat",
                                      "rename-failed zmostati.dat stati_m_202403041100.dat"}));
  EXPECT_EQ(Read("zmostati.dat"), "old\r\n");
  EXPECT_EQ(Read("zmo_stati.dat"), "new\r\n");
  EXPECT_FALSE(zmo::FileExists(dir_.File("ArchiveData").c_str())) << "not created here";
}

TEST_F(HandOver, AnArchiveIsNeverOverwritten) {
  Write("ArchiveData/stati_m_202403041100.dat", "first\r\n");
  Write("zmostati.dat", "second\r\n");
  Write("zmo_stati.dat", "new\r\n");
  const zmo::HandOverFile f = Stati();
  EXPECT_EQ(zmo::handOverFiles(&f, 1, Note), zmo::kHandOverFailed);
  EXPECT_EQ(Read("ArchiveData/stati_m_202403041100.dat"), "first\r\n");
  EXPECT_EQ(Read("zmostati.dat"), "second\r\n");
  EXPECT_EQ(Read("zmo_stati.dat"), "new\r\n");
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
  const char* names[][3] = {{"zmosnapavai.dat", "zmoavai.dat", "avl_m_"},
                            {"zmosnipsnap.cpu", "zmosnap.cpu", "cpu_m_"},
                            {"zmosnipsnap.dsk", "zmosnap.dsk", "dsk_m_"},
                            {"zmosnipsnap.lan", "zmosnap.lan", "lan_m_"}};
  for (auto& n : names) {
    files.push_back({dir.File(n[0]), dir.File(n[1]),
                     dir.File(std::string("ArchiveData/") + n[2] + "200612071530.dat")});
  }
  return files;
}

TEST_F(HandOver, FourFilesTogether) {
  const auto files = SnapFiles(dir_);
  for (const auto& f : files) ASSERT_EQ(zmo::WriteFileAtomic(f.collecting, "rec\r\n"), 0);
  Write("zmosnap.cpu", "left\r\n");
  Write("zmosnap.lan", "");
  EXPECT_EQ(zmo::handOverFiles(files.data(), files.size(), Note), 0);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"data zmosnap.cpu cpu_m_200612071530.dat",
                                               "empty zmosnap.lan -"}));
  for (const auto& f : files) {
    std::string data;
    EXPECT_EQ(zmo::ReadWholeFile(f.hand_over, &data), 0) << f.hand_over;
    EXPECT_EQ(data, "rec\r\n");
    EXPECT_FALSE(zmo::FileExists(f.collecting.c_str()));
  }
  EXPECT_EQ(Read("ArchiveData/cpu_m_200612071530.dat"), "left\r\n");
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

TEST_F(HandOver, FailedClearingRenamesNothing) {
  const auto files = SnapFiles(dir_);
  for (const auto& f : files) ASSERT_EQ(zmo::WriteFileAtomic(f.collecting, "rec\r\n"), 0);
  Write("zmosnap.lan", "left\r\n");
  Write("ArchiveData/lan_m_200612071530.dat", "taken\r\n");
  EXPECT_EQ(zmo::handOverFiles(files.data(), files.size(), Note), zmo::kHandOverFailed);
  for (const auto& f : files) {
    EXPECT_TRUE(zmo::FileExists(f.collecting.c_str())) << f.collecting;
  }
  EXPECT_FALSE(zmo::FileExists(files[0].hand_over.c_str()));
  EXPECT_EQ(Read("zmosnap.lan"), "left\r\n");
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
