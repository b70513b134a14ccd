// Catalog ids of the texts the data layer shows (catalog/zmocatENU.cat).
#pragma once

constexpr int kTextErrorEncountered = 1402;  // "KQZ7001E Error encountered "
constexpr int kTextCannotOpenLocked = 1437;  // box: the file is locked
constexpr int kTextServerFileLocked = 1446;  // status: the server file is locked
constexpr int kTextDecryptEmpty = 1447;
constexpr int kTextEncryptEmpty = 1448;
constexpr int kTextLoadingServers = 1449;
constexpr int kTextMessageTitle = 1452;  // title of every message box
constexpr int kTextActionFailed = 1453;  // status: "Action failed"
