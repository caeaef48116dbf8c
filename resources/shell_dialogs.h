#pragma once
// The dialog template of the main window's own dialog: the defaults dip-switch notice "Please
// turn off DEFAULTS dipswitch! - 33" (resource 179), shown when the controller reports its
// DEFAULTS dip switch on. It centres itself on its owner; its EXIT button (control 1101, window
// text "EXIT") closes it for the rest of the run.
namespace corvex::resources {

inline constexpr int kDefaultsNoticeDialog = 179;
inline constexpr int kDefaultsNoticeExit = 1101;
inline constexpr int kDefaultsNoticeText = 1102;  // ours: the static text of the notice

// Adds the template to the dialog table (again harmless).
void register_shell_dialog_templates();

}  // namespace corvex::resources
