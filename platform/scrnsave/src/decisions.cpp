// The screen-saver library's decisions.
#include "scrnsave/decisions.h"

namespace scrnsave {

const char* SkipProgramName(const char* p) {
  if (p == nullptr) return "";
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (static_cast<unsigned char>(*p) > 32) ++p;
  }
  while (*p != '\0' && static_cast<unsigned char>(*p) <= 32) ++p;
  return p;
}

namespace {
const char* SkipSpaces(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}
// Decimal digits up to the first non-digit, without sign.
bool Number(const char* p, uintptr_t* out) {
  if (*p < '0' || *p > '9') return false;
  uintptr_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) v = v * 10 + static_cast<uintptr_t>(*p - '0');
  *out = v;
  return true;
}
}  // namespace

Mode ParseMode(const char* arguments) {
  const char* p = arguments ? arguments : "";
  while (*p == ' ' || *p == '\t' || *p == '-' || *p == '/') ++p;
  Mode mode = {ModeKind::kNone, false, 0};
  const char c = (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
  switch (c) {
    case '\0':
      mode.kind = ModeKind::kConfigure;
      break;
    case 'c':
      mode.kind = ModeKind::kConfigure;
      ++p;
      if (*p == ':') ++p;
      mode.hasWindow = Number(p, &mode.window);
      break;
    case 's':
      mode.kind = ModeKind::kSaver;
      break;
    case 'p':
    case 'l':
      mode.kind = ModeKind::kPreview;
      mode.hasWindow = Number(SkipSpaces(p + 1), &mode.window);
      break;
    case 'a':
      mode.kind = ModeKind::kPassword;
      mode.hasWindow = Number(SkipSpaces(p + 1), &mode.window);
      break;
    default:
      break;
  }
  return mode;
}

Answer LibraryAnswer(const Message& m, bool preview) {
  if (m.message == kWmSetText) return {true, 0, false};
  if (preview && (m.message == kWmHelp || m.message == kWmContextMenu)) return {true, 1, true};
  if (!preview && m.message == kWmSysCommand) {
    const uintptr_t command = m.wParam & 0xFFF0;
    if (command == kScNextWindow || command == kScPrevWindow || command == kScScreenSave) return {true, 0, false};
  }
  return {false, 0, false};
}

DefaultAction Default(const Message& m, const DefaultState& s, int currentAcLine) {
  DefaultAction a = {false, false, false, false, 0};
  if (!s.preview) {
    switch (m.message) {
      case kWmSetCursor:
        a.hideCursor = true;
        a.answer = true;
        a.result = 1;
        return a;
      case kWmShowWindow:
        a.hideCursor = m.wParam != 0;
        break;
      case kWmKeyDown:
      case kWmSysKeyDown:
      case kWmLButtonDown:
      case kWmRButtonDown:
      case kWmMButtonDown:
        a.postClose = true;
        break;
      case kWmMouseMove: {
        const int dx = MouseX(m.lParam) - s.cursorX, dy = MouseY(m.lParam) - s.cursorY;
        if ((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) > kMouseSlack) {
          a.postClose = true;
          a.updateCursor = true;
        }
        break;
      }
      case kWmActivateApp:
        a.postClose = m.wParam == 0;
        break;
      case kWmPower:
        a.postClose = m.wParam == kPwrCriticalResume;
        break;
      case kWmPowerBroadcast: {
        const uintptr_t event = m.wParam;
        const bool resume = event == kPbtApmResumeCritical || event == kPbtApmResumeSuspend ||
                            event == kPbtApmResumeStandby || event == kPbtApmResumeAutomatic;
        if (resume && (m.lParam & kPbtfApmResumeFromFailure)) break;
        if (event == kPbtApmPowerStatusChange && currentAcLine == s.acLineStatus) break;
        a.postClose = true;
        break;
      }
      default:
        break;
    }
    if (!s.created) {
      a.postClose = false;
      a.updateCursor = false;
    }
  }
  return a;
}

}  // namespace scrnsave
