// What one zmosnap cycle needs around the remote calls: its settings from the
// configuration key, the application-server file, the four collecting files,
// the hand-over of the previous cycle's files to zmoloader, and the metric
// switches.
//
// Files of a cycle (in BinDir, where the loader reads them; a -np run, which
// has no BinDir, writes its collecting files in the program directory):
//
//   records        collecting file    hand-over file
//   CPU            zmosnipsnap.cpu    zmosnap.cpu
//   disk           zmosnipsnap.dsk    zmosnap.dsk
//   LAN            zmosnipsnap.lan    zmosnap.lan
//   availability   zmosnapavai.dat    zmoavai.dat
//
// A cycle marks its run in zmosnipsnap.mark beside them (common/run_mark.h):
// a cycle cut short by a kill is cut back, and a hand-over cut short is
// completed, at the next start.
#pragma once

#include <array>
#include <string>

#include "common/handover.h"
#include "zmosnap/state.h"

namespace zmo::snap {

// Reads the settings of a cycle. With switchOnly only the trace switch
// (SnapDebug). 0; 1 the key cannot be opened; 2/3 DB unreadable / not text;
// 4 DB names no known kind; 5/6 BinDir unreadable / not text; 7 BinDir
// empty; 8 BinDir longer than 400 characters.
int queryRegForFormat(bool switchOnly);
// Sets *flag: the loader is started in every cycle. Returns 0.
int queryRegForAggregation(bool* flag);

// Read the server file into snapState().inBuffer, trying the open 10 times
// 3 seconds apart. openInFile takes the name from SnapInput, openDefaultInFile
// uses zmoserver.dat in the program directory. 0; 1 the key cannot be
// opened; 2/3 SnapInput unreadable / not text; 4 the file did not open;
// 5 its size could not be had; 6 reading it failed.
constexpr int kSnapInputMissing = 2;
constexpr int kSnapInputNotString = 3;
constexpr int kSnapInFileNoOpen = 4;
constexpr int kSnapInFileNoSize = 5;
constexpr int kSnapInFileReadFailed = 6;
int openInFile();
int openDefaultInFile();
// Forgets the server file's buffer.
void closeInFile();

// Set the names of the CPU, disk and LAN files (openSnapFiles) or of the
// availability file (openAvailFile) and open the collecting files for
// appending. 0; 1 no directory for them; 3 a file did not open (those
// opened by the same call are closed again).
constexpr int kSnapNoFileDirectory = 1;
constexpr int kSnapFileOpenFailed = 3;
int openSnapFiles();
int openAvailFile();
// Close what is open; the names stay for the next hand-over.
void closeSnapFiles();
void closeAvailFile();

// The directory of the cycle's files: BinDir, or the program directory
// when no BinDir was read.
std::string snapFileDirectory();
// The four collecting files and their hand-over names, in SnapFileKind
// order, and the cycle's mark.
std::array<zmo::HandOverFile, kSnapFileCount> snapHandOverFiles();
std::string snapRunMarkPath();
// Settles a cycle that a kill cut short (its mark). 0, or 1 when the files
// could not be put right: no cycle may append to them then.
int snapSettleEarlierCycle();
// Marks the cycle before it appends, with its collecting files' lengths;
// the end of the cycle removes the mark. 0 or 1.
int snapMarkCycle();

// Hands the previous cycle's files to the loader: renames the four
// collecting files to their hand-over names (all four or none; none while
// an unloaded file is under one of the names, whose records then wait in
// the collecting files) and starts zmoloader with " -a", "-p SNAP",
// " -h <ip>", " -i <pid>", waiting for it. 0 when the loader ran; 1 when
// there was nothing to hand over (the first cycle of a process) or the
// loader could not be started; 29 when a hand-over step failed, the loader
// then not started.
int snapLoad();

// Reads the metric switches into snapState().metrics. A switch once on
// stays on; ProcessQRBData "True" once sets every switch for the rest of
// the process. A missing switch ends the process with exit code 99.
void snapGetMetricFilters();

}  // namespace zmo::snap
