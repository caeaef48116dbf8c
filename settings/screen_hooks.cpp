#include "settings/screen_hooks.h"

namespace corvex::settings {

ScreenHooks& screen_hooks() {
  static ScreenHooks hooks;
  return hooks;
}

void call_return_to_main_screen() {
  if (ScreenHook hook = screen_hooks().return_to_main_screen) hook();
}

void call_reload_screen_texts() {
  if (ScreenHook hook = screen_hooks().reload_screen_texts) hook();
}

}  // namespace corvex::settings
