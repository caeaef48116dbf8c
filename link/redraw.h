#pragma once
// The windows the link asks to redraw, and the one path all its redraw requests take.
//
// The decoder runs on the exchange thread and never paints: it only marks windows dirty. A
// window is addressed by its class name, so a request to a window that does not exist (a
// dialog that is not open) is ignored by the platform. The two bar buttons the link redraws are
// controls of class "button" that no class name reaches; their requests are handed to the GUI
// thread (service_link_gui_work, link_hooks.h), which finds them by id.
#include <cstdint>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace corvex::link {

enum class RedrawTarget : uint8_t {
  PlenumView,
  BatchDrying,
  SetupMenu,
  RightStatusBar,
  OutOfGrainPanel,
  LoadDelayPanel,
  UnloadDelayPanel,
  FanDelayPanel,
  StatusPicture,
  MeteringRollDialog,
  PlenumSetpointPanel,
  GrainTempSetpointPanel,
  LineGraph,
  UnloadStatus,
  UnloadStatusButton,  // control 36871 of the unload status window
  Diagnostics,
  AutoStartStatus,
  CalibrationDialog,
  StatusChart,
  SwitchTest,
  MoistureSensorCalibration,
  MoistureSetpointDialog,
  AutoStartConfig,
  BracketedMoistureSetup,
  LightOutputTest,
  SetupDialog,
  DryingModesDialog,
  DryingCriteriaDialog,
  AutoStartDialog,
  MiscButton,  // control 34821 of the main window
  WarningWindow,
  ExtendedSetupMenu,
  kCount
};
inline constexpr int kRedrawTargetCount = int(RedrawTarget::kCount);
static_assert(kRedrawTargetCount <= 64, "targets are collected in a 64-bit mask");

// The window class of a target (for the two controls: the class of their parent, or nullptr
// for the main window, whose class is the shell's).
const char* redraw_target_class(RedrawTarget t);
// The control id of a target that is a control, else 0.
int redraw_target_control(RedrawTarget t);

using platform::gui::Erase;

// Where every redraw request of the link goes. rect is in client coordinates, nullptr for the
// whole client area. Called on the exchange thread and the GUI thread.
using RedrawSink = void (*)(RedrawTarget target, const platform::Rect* rect, Erase erase);

// Installs a sink (nullptr: the platform's invalidation, the default).
void set_redraw_sink(RedrawSink sink);
// Sends one request through the installed sink.
void request_redraw(RedrawTarget target, Erase erase = Erase::No);
void request_redraw_rect(RedrawTarget target, const platform::Rect& rect, Erase erase);

// Dialogs all run under the platform's dialog class, so a dialog the decoder redraws registers
// its window here while it is open (on opening, and again with nullptr before it closes).
// Requests to a registered window go to it; the platform drops requests to a window that has
// gone. Screen windows need not register: they are reached by class.
void register_redraw_window(RedrawTarget target, platform::gui::Window* window);
platform::gui::Window* redraw_window(RedrawTarget target);

// The platform's invalidation of a target; controls are handed to the GUI thread.
void platform_redraw(RedrawTarget target, const platform::Rect* rect, Erase erase);

}  // namespace corvex::link
