#pragma once
// The dialog templates of auto-start: the information "Auto-Start Control Panel Switch
// Requirements", the question "Auto-Start" (Yes / No / CANCEL) and the status dialog
// "Auto-Start Status" (resource 612). Control ids and the other resource numbers are ours.
//
// The templates are handed to the dialogs directly (dialog_box_indirect), never put into the
// shared table, so that no other dialog of the same number can take their place. Buttons with
// localized labels are owner-drawn; their window texts stay the fixed names the automation
// finds: "OK", "Yes", "No", "CANCEL", "Cancel Auto-Start", "Minimize". Every button is at least
// 40 px high and every dialog fits the 640 x 480 panel.
#include "platform/gui/dialog.h"

namespace corvex::resources {

inline constexpr int kAutoStartStatusDialog = 612;
inline constexpr int kAutoStartSwitchDialog = 621;
inline constexpr int kAutoStartQuestionDialog = 622;

// The switch requirements: eleven lines and the OK button.
inline constexpr int kSwitchLineCount = 11;
inline constexpr int kSwitchFirstLine = 1400;  // .. 1410
inline constexpr int kSwitchOk = 1;

// The question.
inline constexpr int kAutoStartQuestionText = 1420;
inline constexpr int kAutoStartYes = 6;
inline constexpr int kAutoStartNo = 7;
inline constexpr int kAutoStartCancel = 2;

// The status dialog's two buttons.
inline constexpr int kStatusCancelAutoStart = 1430;
inline constexpr int kStatusMinimize = 1431;

const platform::gui::DialogTemplate& auto_start_switch_template();
const platform::gui::DialogTemplate& auto_start_question_template();
const platform::gui::DialogTemplate& auto_start_status_template();

}  // namespace corvex::resources
