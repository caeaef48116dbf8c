#pragma once
// "Unload Parameters - 11": the maximum and minimum unload rates, in percent of the dryer's
// capacity, with the bushels per hour each percentage stands for. The rates are 16-bit values
// with the high byte first (status bytes 206-207 and 208-209); ACCEPT raises the record of each
// rate that differs from the controller's.
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_unload_parameters_dialog(platform::gui::Window* owner);

// The working rates of the dialog, in percent.
struct UnloadRates {
  int maximum = 0;
  int minimum = 0;
};
// What the rates go back to when the operator answers Yes to a defaults question.
inline constexpr UnloadRates kDefaultUnloadRates{80, 5};

// Maximum INCREASE adds 1 up to 100; DECREASE subtracts 1 down to 0. Minimum INCREASE adds 1
// up to 100; DECREASE subtracts 1 but never takes it below 5.
int increase_unload_maximum(int maximum);
int decrease_unload_maximum(int maximum);
int increase_unload_minimum(int minimum);
int decrease_unload_minimum(int minimum);

// Bushels per hour at 100 %: by the model band for the numeric-model family (dryer-type bit
// 5), otherwise the dryer length in feet times 140.62021 with the 7-inch meter roll (always so
// in the mixed-flow family) and times 129.6 with the 4-inch one.
double unload_capacity(uint8_t dryer_type, uint8_t length_index, bool seven_inch_roll);
// "1125" for 100 % of 1124.96 BPH: the rate in bushels per hour, rounded to whole bushels.
std::string unload_bph_text(int percent, double capacity);
// The note under the values: which length or capacity the bushels are based upon ("" when the
// dryer type names none).
std::string unload_capacity_note(uint8_t dryer_type, uint8_t length_index);

// The question that offers the defaults while the operator steps the rates is shown at most
// once per run of the program; the one of ACCEPT counts too.
bool unload_rate_warning_shown();
// A fresh start, as after a restart of the program (for tests that run several dialogs).
void forget_unload_rate_warning();

}  // namespace corvex::settings
