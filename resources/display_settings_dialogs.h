#pragma once
// The dialog templates of the two display-settings dialogs and the status chart's clear-table
// question: the graph setup "GRAPH SETUP - 25" (resource 196), the sample-time selection
// "Select Data Log Sample Time - 35" (resource 245) and the clear-table confirmation (resource
// 604). The sample-time dialog's control ids are the panel's own; the others are ours.
//
// Every choice is a finger-sized key with a round mark beside it that shows the choice made;
// the marks only show what the dialog sets (a tap on one acts as a tap on its key). Keys with
// localized labels are owner-drawn, and their window texts stay the English names the
// automation finds ("1 HOUR", "5 MINUTES", "CLEAR TABLE", "Yes" ...).

namespace corvex::resources {

inline constexpr int kGraphSetupDialog = 196;
inline constexpr int kSampleTimeDialog = 245;
inline constexpr int kClearTableDialog = 604;

// Graph setup: four scale keys (1, 2, 4, 8 hours), their marks, ACCEPT/EXIT.
inline constexpr int kGraphScaleKeyFirst = 1401;   // 1401..1404
inline constexpr int kGraphScaleMarkFirst = 1405;  // 1405..1408
inline constexpr int kGraphAcceptExit = 1409;
inline constexpr int kGraphScaleChoices = 4;

// Sample-time selection.
inline constexpr int kSampleTimeExplanation = 1411;
inline constexpr int kSampleTimeBatchNote = 1412;
inline constexpr int kSampleOneMinuteMark = 1222;
inline constexpr int kSampleOneMinuteKey = 1223;
inline constexpr int kSampleFiveMinutesMark = 1224;
inline constexpr int kSampleFiveMinutesKey = 1225;
inline constexpr int kSampleTenMinutesMark = 1226;
inline constexpr int kSampleTenMinutesKey = 1227;
inline constexpr int kSampleFifteenMinutesMark = 1228;
inline constexpr int kSampleFifteenMinutesKey = 1229;
inline constexpr int kSampleTimeAccept = 1189;
inline constexpr int kSampleTimeClearTable = 1190;

// Clear-table confirmation: the question and its two keys, which close it with their id.
inline constexpr int kClearTableText = 1000;
inline constexpr int kClearTableYes = 6;
inline constexpr int kClearTableNo = 7;

// Adds the three templates to the dialog table (again harmless).
void register_display_settings_dialog_templates();

}  // namespace corvex::resources
