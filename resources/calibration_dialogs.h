#pragma once
// The dialog templates of " MOISTURE SENSOR CALIBRATION - 13" (223) and " UNLOAD BUSHELS SETUP
// SCREEN - 17" (resource number ours), and the layout of the unload status window. Control ids
// are the dialogs' own. Buttons with localized labels are owner-drawn and keep fixed window
// texts the automation finds (">>>", "<<<", "ACCEPT", "HELP", "CLEAR", "INCREASE", "DECREASE");
// the two buttons of ">>>" and "<<<" on each row are told apart by their ids.
#include "platform/gfx/font.h"
#include "platform/gfx/geometry.h"

namespace corvex::resources {

inline constexpr int kMoistureCalibrationDialog = 223;
inline constexpr int kUnloadBushelsDialog = 231;  // ours

// Moisture sensor calibration: per offset its label, value display, ">>>" and "<<<".
inline constexpr int kCalWetMoistLabel = 1371;
inline constexpr int kCalDryMoistLabel = 1372;
inline constexpr int kCalWetTempLabel = 1373;
inline constexpr int kCalDryTempLabel = 1374;
inline constexpr int kCalWetMoistValue = 1146;
inline constexpr int kCalDryMoistValue = 1148;
inline constexpr int kCalDryTempValue = 1153;
inline constexpr int kCalWetTempValue = 1156;
inline constexpr int kCalWetMoistUp = 1149;
inline constexpr int kCalWetMoistDown = 1150;
inline constexpr int kCalDryMoistUp = 1045;
inline constexpr int kCalDryMoistDown = 1046;
inline constexpr int kCalDryTempUp = 1047;
inline constexpr int kCalDryTempDown = 1048;
inline constexpr int kCalWetTempUp = 1154;
inline constexpr int kCalWetTempDown = 1155;
inline constexpr int kCalAccept = 1147;
inline constexpr int kCalHelp = 1151;

// The live readings are painted by the dialog in rows of 25 pixels from this point of its
// client area: a heading, the moisture and the grain temperature of the incoming sensor, then
// the same three lines of the discharge sensor.
inline constexpr platform::Point kCalReadingsOrigin{12, 6};
inline constexpr int kCalReadingRow = 25;
inline constexpr int kCalReadingsWidth = 610;
inline constexpr platform::FontSpec kCalReadingFont{16, 500};

// Unload bushels set-up.
inline constexpr int kBphClearGroup = 1377;
inline constexpr int kBphClear = 1174;
inline constexpr int kBphTotal = 1147;
inline constexpr int kBphMultiplierGroup = 1378;
inline constexpr int kBphIncrease = 1171;
inline constexpr int kBphDecrease = 1172;
inline constexpr int kBphMultiplier = 1146;
inline constexpr int kBphAccept = 1173;
inline constexpr int kBphHelp = 1175;

// Unload status window (client coordinates).
inline constexpr int kUnloadMrSpeedSelectButtonId = 36883;
inline constexpr platform::Rect kUnloadBushelsButtonRect{2, 72, 238, 148};
inline constexpr platform::Rect kUnloadSpeedButtonRect{132, 0, 240, 70};
// The large value sits left of the speed button, right-aligned inside the rectangle the
// decoder redraws when it changes.
inline constexpr platform::Rect kUnloadLargeValueRect{0, 0, 120, 65};
inline constexpr platform::FontSpec kUnloadLargeValueFont{70, 900};
inline constexpr platform::FontSpec kUnloadBushelsFont{20, 400};
inline constexpr platform::FontSpec kUnloadSpeedFont{16, 900};

// Adds both templates to the dialog table (again harmless).
void register_calibration_dialog_templates();

}  // namespace corvex::resources
