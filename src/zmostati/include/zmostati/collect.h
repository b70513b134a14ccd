// The steps the work loop and the one-shot runs hand over to: one collection
// run, and the RFC error handler's installation. They are called through
// statiState().hooks, which point at these functions unless a test put
// stand-ins there.
#pragma once

// One collection run: 0 done, 1 a file failed to open or a hand-over failed,
// 28 shutdown.
int statiStartQuery();
// Installs the RFC library's error handler for this run.
void statiInstallRfcErrorHandler();
