// The screen-saver library's decisions, as plain functions over plain data:
// which mode a command line asks for, which messages the library answers
// itself, and what its default processing does with a message. The Win32
// layer (scrnsave_win32.cpp) only applies them.
#pragma once

#include <stdint.h>

namespace scrnsave {

// ---- command line

// The command line without the program name: a quoted name up to its
// closing quote, else up to the first character of code 32 or less; then
// the characters of code 1 to 32 after it are skipped.
const char* SkipProgramName(const char* commandLine);

enum class ModeKind { kConfigure, kSaver, kPreview, kPassword, kNone };

struct Mode {
  ModeKind kind;
  bool hasWindow;       // a window number was given
  uintptr_t window;     // the number, decimal, without sign
};

// Leading spaces, "-" and "/" skipped; the next letter (either case) picks
// the mode: end of line or "c" (optionally ":" and a number): configure;
// "s": saver; "p" or "l" with spaces and a number: preview; "a" with spaces
// and a number: password change; anything else: none.
Mode ParseMode(const char* arguments);

// ---- messages the library's own window procedure answers

struct Message {
  unsigned message;
  uintptr_t wParam;
  intptr_t lParam;
};

struct Answer {
  bool answered;           // true: the library answers, the host's procedure is not called
  intptr_t result;
  bool repostToParent;     // preview: repost the message to the parent window
};

Answer LibraryAnswer(const Message& m, bool preview);

// ---- the default processing (DefScreenSaverProc)

struct DefaultState {
  bool preview;
  // The saver window's creation has returned. Before that (message boxes
  // of a failed start shown during WM_CREATE take the activation and give
  // it back) nothing ends the saver.
  bool created;
  bool oldFamily;
  bool passwordCheckLoaded;
  int cursorX, cursorY;    // recorded cursor position
  int acLineStatus;        // last AC-line status read (255: unknown)
};

struct DefaultAction {
  bool postClose;          // post WM_CLOSE to the saver window
  bool hideCursor;
  bool updateCursor;       // record the position the message carries
  bool answer;             // answer with result instead of the system's default processing
  intptr_t result;
};

// currentAcLine: the AC-line status read now, for PBT_APMPOWERSTATUSCHANGE.
DefaultAction Default(const Message& m, const DefaultState& state, int currentAcLine);

// Window numbers: the mouse position a WM_MOUSEMOVE carries.
inline int MouseX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
inline int MouseY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

// Message numbers the library handles.
enum : unsigned {
  kWmCreate = 0x0001,
  kWmDestroy = 0x0002,
  kWmActivateApp = 0x001C,
  kWmSetCursor = 0x0020,
  kWmPaint = 0x000F,
  kWmClose = 0x0010,
  kWmShowWindow = 0x0018,
  kWmSetText = 0x000C,
  kWmPower = 0x0048,
  kWmHelp = 0x0053,
  kWmContextMenu = 0x007B,
  kWmKeyDown = 0x0100,
  kWmSysKeyDown = 0x0104,
  kWmSysCommand = 0x0112,
  kWmTimer = 0x0113,
  kWmMouseMove = 0x0200,
  kWmLButtonDown = 0x0201,
  kWmRButtonDown = 0x0204,
  kWmMButtonDown = 0x0207,
  kWmPowerBroadcast = 0x0218,
};
enum : uintptr_t {
  kScNextWindow = 0xF040,
  kScPrevWindow = 0xF050,
  kScScreenSave = 0xF140,
  kScMonitorPower = 0xF170,
  kPwrCriticalResume = 3,
  kPbtApmResumeCritical = 0x6,
  kPbtApmResumeSuspend = 0x7,
  kPbtApmResumeStandby = 0x8,
  kPbtApmPowerStatusChange = 0xA,
  kPbtApmResumeAutomatic = 0x12,
};
constexpr intptr_t kPbtfApmResumeFromFailure = 0x1;
constexpr int kMouseSlack = 4;  // pixels, horizontal plus vertical

}  // namespace scrnsave
