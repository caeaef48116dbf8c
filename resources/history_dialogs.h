#pragma once
// The dialog templates of the shutdown history and its three small questions, the Data Logger
// Setup and the system information window. Control ids are the panel's own where it has them;
// the questions' (three keys under a message) are ours.
namespace corvex::resources {

// "Shutdown History -29".
inline constexpr int kShutdownHistoryDialog = 197;
inline constexpr int kHistoryList = 1105;
inline constexpr int kHistoryExit = 1107;
inline constexpr int kHistoryClear = 1108;  // hidden: reached by holding EXIT
inline constexpr int kHistorySortWarning = 1109;
inline constexpr int kHistoryCopy = 1110;
inline constexpr int kHistorySortTime = 1111;
inline constexpr int kHistorySortNode = 1112;
inline constexpr int kHistoryShowHelp = 1113;
inline constexpr int kHistorySortedWarning = 1045;
inline constexpr int kHistorySortedTime = 1046;
inline constexpr int kHistorySortedNode = 1047;

// The questions of the history: clear, copy, drive missing. Each shows its message above three
// keys; the first does the question's work, the other two only close it.
inline constexpr int kHistoryClearQuestion = 605;
inline constexpr int kHistoryCopyQuestion = 606;
inline constexpr int kHistoryDriveMissing = 607;
inline constexpr int kQuestionText = 1000;
inline constexpr int kQuestionFirst = 1001;
inline constexpr int kQuestionSecond = 1002;
inline constexpr int kQuestionThird = 1003;

// "DAY DATA LOGGER SETUP - 19".
inline constexpr int kDataLoggerDialog = 258;
inline constexpr int kDataLoggerOn = 2;
inline constexpr int kDataLoggerOff = 3;
inline constexpr int kDataLoggerDelete = 4;
inline constexpr int kDataLoggerSend = 5;
inline constexpr int kDataLoggerOnMark = 1262;
inline constexpr int kDataLoggerOffMark = 1046;
inline constexpr int kDataLoggerUsedLabel = 1428;
inline constexpr int kDataLoggerUsedText = 1263;
inline constexpr int kDataLoggerExit = 1219;

// " SYSTEM INFORMATION / SOFTWARE VERSION - 32".
inline constexpr int kSystemInfoDialog = 440;
inline constexpr int kSystemInfoVersion = 1245;
inline constexpr int kSystemInfoTime = 1246;
inline constexpr int kSystemInfoDate = 1247;
inline constexpr int kSystemInfoTotal = 1248;
inline constexpr int kSystemInfoAvailable = 1249;
inline constexpr int kSystemInfoNotice = 1250;
inline constexpr int kSystemInfoExit = 1244;

// Adds the templates to the dialog table (again harmless).
void register_history_dialog_templates();

}  // namespace corvex::resources
