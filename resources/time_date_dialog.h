#pragma once
// The dialog template of "Set Time / Date - 18" (199): the time on the upper row (minute, hour,
// AM / PM), the date on the lower one (month, date, year, day of the week), each value between
// its UP and DOWN buttons. The UP and DOWN keys are owner-drawn with the localized labels and
// keep fixed window texts the automation finds ("MINUTE UP", "YEAR DOWN", "AM", "PM").

namespace corvex::resources {

inline constexpr int kTimeDateDialog = 199;

inline constexpr int kTimeMinuteDown = 1045;
inline constexpr int kTimeMinuteUp = 1046;
inline constexpr int kTimePm = 1047;
inline constexpr int kTimeAm = 1048;
inline constexpr int kTimeMonthDown = 1055;
inline constexpr int kTimeMonthUp = 1056;
inline constexpr int kTimeDateDown = 1057;
inline constexpr int kTimeDateUp = 1058;
inline constexpr int kTimeYearDown = 1059;
inline constexpr int kTimeYearUp = 1060;
inline constexpr int kTimeDayDown = 1061;
inline constexpr int kTimeDayUp = 1062;
inline constexpr int kTimeHourUp = 1210;
inline constexpr int kTimeHourDown = 1211;
inline constexpr int kTimeAccept = 1;
inline constexpr int kTimeCancel = 2;

// Value fields.
inline constexpr int kTimeDateField = 1147;
inline constexpr int kTimeYearField = 1148;
inline constexpr int kTimeHourField = 1150;
inline constexpr int kTimeMinuteField = 1151;
inline constexpr int kTimeAmPmField = 1152;
inline constexpr int kTimeMonthField = 1153;
inline constexpr int kTimeDayField = 1154;

// Labels: minute, hour, then month, date, year, day, the note, and the AM / PM heading.
inline constexpr int kTimeMinuteLabel = 1417;
inline constexpr int kTimeHourLabel = 1418;
inline constexpr int kTimeMonthLabel = 1420;
inline constexpr int kTimeDateLabel = 1421;
inline constexpr int kTimeYearLabel = 1422;
inline constexpr int kTimeDayLabel = 1423;
inline constexpr int kTimeNote = 1424;
inline constexpr int kTimeAmPmLabel = 1425;

// Adds the template to the dialog table (again harmless).
void register_time_date_dialog_template();

}  // namespace corvex::resources
