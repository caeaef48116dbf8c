#include "settings/edit_requests.h"

namespace corvex::settings {

TemperatureEditRequest temperature_edit_request;
TemperatureEditRequest drying_mode_edit_request;
TimerEditRequest timer_edit_request;

}  // namespace corvex::settings
