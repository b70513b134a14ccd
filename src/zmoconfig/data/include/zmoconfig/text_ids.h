// Catalog ids of the texts the data layer shows or hands to the pages
// (catalog/zmocatENU.cat).
#pragma once

namespace zmo::config {

constexpr int kTextDataLossQuestion = 1401;  // Yes/No with the stop icon
constexpr int kTextErrorEncountered = 1402;  // "KQZ7001E Error encountered "
constexpr int kTextIdTooLong = 1405;
constexpr int kTextProgTooLong = 1406;
constexpr int kTextTransTooLong = 1407;  // also for group codes
constexpr int kTextStartDateInvalid = 1408;
constexpr int kTextStartTimeInvalid = 1409;
constexpr int kTextEndDateInvalid = 1410;
constexpr int kTextEndTimeInvalid = 1411;
constexpr int kTextDuplicateGroup = 1412;
constexpr int kTextSleepRange = 1413;
constexpr int kTextIntervalIncorrect = 1414;
constexpr int kTextDuplicateTime = 1415;
constexpr int kTextTimeInvalid = 1416;
constexpr int kTextTooManyEntries = 1417;
constexpr int kTextWholeNumbers = 1418;
constexpr int kTextKeepDaysRange = 1419;
constexpr int kTextKeepDaysNumeric = 1420;
constexpr int kTextNoValueToAdd = 1421;
constexpr int kTextNoValueToUpdate = 1422;
constexpr int kTextSlaSeconds = 1423;
constexpr int kTextDuplicateId = 1424;
constexpr int kTextDuplicateProg = 1425;
constexpr int kTextDuplicateTrans = 1426;
constexpr int kTextDuplicateServer = 1427;
constexpr int kTextNoServer = 1428;
constexpr int kTextNoId = 1429;
constexpr int kTextNoPassword = 1430;
constexpr int kTextNoSid = 1431;
constexpr int kTextNoInstance = 1432;
constexpr int kTextInstanceNumeric = 1433;
constexpr int kTextInstanceNegative = 1434;
constexpr int kTextNoClient = 1435;
constexpr int kTextClientNumeric = 1436;
constexpr int kTextCannotOpenLocked = 1437;  // box: the file is locked
constexpr int kTextSpecialRunError = 1438;
constexpr int kTextCorvaToolMissing = 1439;
constexpr int kTextNoDbKind = 1440;
constexpr int kTextEndBeforeStart = 1441;
constexpr int kTextNoServersSelected = 1442;
constexpr int kTextStartAfterEnd = 1443;
constexpr int kTextSpecialRunRunning = 1444;
constexpr int kTextServerFileLocked = 1446;  // status: the server file is locked
constexpr int kTextDecryptEmpty = 1447;
constexpr int kTextEncryptEmpty = 1448;
constexpr int kTextLoadingServers = 1449;
constexpr int kTextRunRunning = 1450;
constexpr int kTextRunSubmitted = 1451;
constexpr int kTextMessageTitle = 1452;  // title of every message box
constexpr int kTextActionFailed = 1453;  // status: "Action failed"
constexpr int kTextReady = 1454;
constexpr int kTextActionSuccessful = 1455;
constexpr int kTextNoValueSet = 1456;
constexpr int kTextActionCancelled = 1457;
constexpr int kTextOracle73Missing = 1467;
constexpr int kTextOracle80Missing = 1468;
constexpr int kTextOracle81Missing = 1469;
constexpr int kTextMssqlToolMissing = 1470;
constexpr int kTextSybaseToolMissing = 1471;
constexpr int kTextTesselToolMissing = 1472;
constexpr int kTextFirstLanguage = 1474;  // 1474-1483: the language list
constexpr int kTextScheduledRun = 1484;
constexpr int kTextRunError = 1486;
constexpr int kTextNotStandardTCode = 1487;  // Yes/No, followed by a blank and the code
constexpr int kTextNotQualified = 1503;
constexpr int kTextWrongServerFile = 1504;
constexpr int kTextSingleQuote = 1514;
constexpr int kTextPasswordTooLong = 1515;  // followed by a blank and the limit
constexpr int kTextInnerBlank = 1516;
constexpr int kTextLineCharacter = 1517;
constexpr int kTextNoOracleVersion = 1518;
constexpr int kTextGroupNameTooLong = 1519;
constexpr int kTextServerFileNotLoaded = 1520;

}  // namespace zmo::config
