#pragma once
// Calls out of the setup screens into the main screen, which sits above them. Each hook is a
// function pointer that defaults to nothing; the main screen's navigation fills them in as the
// program loads. GUI thread only.
namespace corvex::settings {

using ScreenHook = void (*)();

struct ScreenHooks {
  // Shows the main screen again after a setup screen closed.
  ScreenHook return_to_main_screen = nullptr;
  // After the language changed: reloads the bar images and repaints every screen window.
  ScreenHook reload_screen_texts = nullptr;
};

ScreenHooks& screen_hooks();

// Run a hook when one is set.
void call_return_to_main_screen();
void call_reload_screen_texts();

}  // namespace corvex::settings
