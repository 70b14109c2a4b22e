// The procedures the screen-saver library calls: the saver window's, the
// configure dialog's, and the dialog classes' registration.
#include "host/saver/host.h"
#include "host/system/messages.h"

namespace saver {

// Refuses only outside the preview, when the power-off phase is active and
// its timeout is shorter than the screen saver's.
bool Host::PowerOffRefuses() {
  if (!platform_.SystemParameter(kSpiGetPowerOffActive)) return false;
  const int powerOff = platform_.SystemParameter(kSpiGetPowerOffTimeout);
  const int saver = platform_.SystemParameter(kSpiGetScreenSaveTimeout);
  return powerOff < saver && !platform_.IsPreview();
}

void Host::StartSaver(Window window) {
  InitEngine(window);
  if (!settings_.IsPreviewEnabled() && platform_.IsPreview()) return;
  if (!LaunchProject(window)) {
    platform_.EndDialog(window, 0);
    // Nothing will ever run in this window: close it rather than leave a
    // black screen that only the next input ends.
    platform_.PostClose(window);
    return;
  }
  running_ = true;
  platform_.SetTimer(window, kFrameTimer, static_cast<uint32_t>(settings_.GetFrameInterval()));
}

void Host::StopSaver(Window window) {
  if (!running_) return;
  platform_.KillTimer(window, kFrameTimer);
  running_ = false;
  ReleaseEngine();
}

intptr_t Host::ScreenSaverProc(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (engine_ != nullptr) engine_->HandleMessage(window, message, wParam, lParam);
  switch (message) {
    case kWmCreate:
      if (PowerOffRefuses()) return -1;
      StartSaver(window);
      break;
    case kWmDestroy:
      StopSaver(window);
      break;
    case kWmClose:
      StopSaver(window);
      platform_.DestroyWindow(window);
      break;
    case kWmKeyDown:
    case kWmKeyUp:
    case kWmSysKeyDown:
    case kWmMouseMove:
    case kWmLButtonDown:
    case kWmRButtonDown:
    case kWmMButtonDown:
      if (settings_.IsQuitDisabled()) return 0;
      break;
    case kWmEraseBackground:
      return 0;
    case kWmSysCommand:
      if ((wParam & 0xFFF0) == kScMonitorPower && !platform_.IsNtFamily()) return 0;
      break;
    case kWmTimer:
      if (wParam == kFrameTimer && engine_ != nullptr) engine_->RunFrame();
      break;
    default:
      break;
  }
  return platform_.DefScreenSaverProc(window, message, wParam, lParam);
}

intptr_t Host::ScreenSaverConfigureDialog(Window dialog, unsigned message, uintptr_t wParam, intptr_t) {
  switch (message) {
    case kWmInitDialog:
      InitEngine(dialog);
      settings_.FillDialog(dialog);
      return 1;
    case kWmCommand:
      if ((wParam & 0xFFFF) == kIdOkButton) platform_.EndDialog(dialog, 0);
      return 0;
    case kWmHScroll:
      settings_.OnSliderMoved();
      return 0;
    case kWmDestroy:
      settings_.ReadDialogAndSave(dialog);
      ReleaseEngine();
      return 0;
    default:
      return 0;
  }
}

bool Host::RegisterDialogClasses(void*) {
  platform_.InitCommonControls();
  return true;
}

}  // namespace saver
