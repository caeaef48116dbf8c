// Placeholder until the main screen's navigation is written.
#include "shell/navigation.h"

namespace corvex::shell {

void leave_main_screen(const char*) {}
void return_to_main_screen() {}
void status_area_rule() {}
void button_bar_layout() {}
void reload_screen_texts() {}

}  // namespace corvex::shell
