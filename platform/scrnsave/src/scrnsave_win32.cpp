// The screen-saver library on Windows: the entry, the modes, the saver window
// and its class, the message loop and the default processing. What to do is
// decided by decisions.cpp; this file applies it.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include "scrnsave/decisions.h"
#include "scrnsave/scrnsave.h"

extern "C" {
HINSTANCE hMainInstance = nullptr;
HWND hMainWindow = nullptr;
BOOL fChildPreview = FALSE;
}

namespace {

constexpr char kClassName[] = "WindowsScreenSaverClass";
constexpr char kSaverTitle[] = "Screen Saver";
constexpr int kDialogResource = 2003;
constexpr int kIconResource = 100;

typedef BOOL(WINAPI* VerifyPasswordFn)(HWND);
typedef DWORD(WINAPI* ChangePasswordFn)(LPCSTR, HWND, DWORD, LPVOID);

bool g_oldFamily = false;
bool g_created = false;  // the saver window's CreateWindowEx has returned
POINT g_cursor = {0, 0};
int g_acLine = 255;
HIMC g_inputContext = nullptr;
HMODULE g_passwordLibrary = nullptr;
VerifyPasswordFn g_verifyPassword = nullptr;
UINT g_queryCancelAutoPlay = 0;

int AcLineStatus() {
  SYSTEM_POWER_STATUS status;
  return GetSystemPowerStatus(&status) ? status.ACLineStatus : 255;
}

// Old family: the password check, when the user's desktop setting asks for it.
void LoadPasswordCheck() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  char value[8] = {0};
  DWORD size = sizeof value - 1, type = 0;
  const bool on = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                      ERROR_SUCCESS &&
                  ((type == REG_SZ && value[0] == '1') || (type == REG_DWORD && value[0] != 0));
  RegCloseKey(key);
  if (!on) return;
  g_passwordLibrary = LoadLibraryA("PASSWORD.CPL");
  if (g_passwordLibrary)
    g_verifyPassword =
        reinterpret_cast<VerifyPasswordFn>(reinterpret_cast<void*>(GetProcAddress(g_passwordLibrary, "VerifyScreenSavePwd")));
  if (g_verifyPassword) {
    BOOL previous;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previous, 0);
  }
}

void UnloadPasswordCheck() {
  if (g_verifyPassword) {
    BOOL previous;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, &previous, 0);
  }
  if (g_passwordLibrary) FreeLibrary(g_passwordLibrary);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const scrnsave::Answer answer = scrnsave::LibraryAnswer({message, wParam, lParam}, fChildPreview != FALSE);
  if (answer.answered) {
    if (answer.repostToParent) {
      HWND parent = GetParent(window);
      PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    }
    return answer.result;
  }
  switch (message) {
    case WM_CREATE:
      g_inputContext = ImmAssociateContext(window, nullptr);
      GetCursorPos(&g_cursor);
      if (!fChildPreview) SetCursor(nullptr);
      break;
    case WM_PAINT:
      if (!fChildPreview) SetCursor(nullptr);
      break;
    case WM_DESTROY:
      ImmAssociateContext(window, g_inputContext);
      PostQuitMessage(0);
      break;
    case WM_TIMER:
      Sleep(0);
      break;
    case WM_SYSCOMMAND:
      if (!fChildPreview && (wParam & 0xFFF0) == SC_MONITORPOWER) PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
  return ScreenSaverProc(window, message, wParam, lParam);
}

int RunSaver(HWND parent) {
  WNDCLASSA cls = {};
  cls.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  cls.lpfnWndProc = SaverWindowProc;
  cls.hInstance = hMainInstance;
  cls.hIcon = LoadIconA(hMainInstance, MAKEINTRESOURCEA(kIconResource));
  cls.hCursor = nullptr;
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = kClassName;
  RegisterClassA(&cls);

  HWND window;
  if (parent != nullptr) {
    RECT r;
    GetClientRect(parent, &r);
    window = CreateWindowExA(0, kClassName, "Preview", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, r.right - r.left,
                             r.bottom - r.top, parent, nullptr, hMainInstance, nullptr);
  } else {
    if (HWND running = FindWindowA(kClassName, kSaverTitle)) {
      SetForegroundWindow(running);
      return 0;
    }
    g_acLine = AcLineStatus();
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w == 0 || h == 0) {
      HDC dc = GetDC(nullptr);
      RECT clip;
      GetClipBox(dc, &clip);
      ReleaseDC(nullptr, dc);
      x = clip.left;
      y = clip.top;
      w = clip.right - clip.left;
      h = clip.bottom - clip.top;
    }
    window = CreateWindowExA(WS_EX_TOPMOST, kClassName, kSaverTitle,
                             WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, w, h, nullptr, nullptr,
                             hMainInstance, nullptr);
  }
  if (window == nullptr) return 0;  // the creation was refused
  hMainWindow = window;
  g_created = true;
  if (parent == nullptr) SetForegroundWindow(window);
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

HWND OwnerOrForeground(const scrnsave::Mode& mode) {
  HWND owner = reinterpret_cast<HWND>(mode.window);
  if (!mode.hasWindow || mode.window == 0 || !IsWindow(owner)) owner = GetForegroundWindow();
  return owner;
}

}  // namespace

extern "C" LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fChildPreview) {
    if (message == WM_CLOSE && g_oldFamily && g_verifyPassword && !g_verifyPassword(window)) return 0;
    int ac = g_acLine;
    const bool statusChange = message == WM_POWERBROADCAST && wParam == PBT_APMPOWERSTATUSCHANGE;
    if (statusChange) ac = AcLineStatus();
    const scrnsave::DefaultState state = {false, g_created, g_oldFamily, g_verifyPassword != nullptr,
                                          static_cast<int>(g_cursor.x), static_cast<int>(g_cursor.y), g_acLine};
    const scrnsave::DefaultAction action = scrnsave::Default({message, wParam, lParam}, state, ac);
    if (statusChange) g_acLine = ac;
    if (action.hideCursor) SetCursor(nullptr);
    if (action.updateCursor) {
      g_cursor.x = scrnsave::MouseX(lParam);
      g_cursor.y = scrnsave::MouseY(lParam);
    }
    if (action.postClose) PostMessageA(window, WM_CLOSE, 0, 0);
    if (action.answer) return action.result;
  }
  if (g_oldFamily && g_queryCancelAutoPlay != 0 && message == g_queryCancelAutoPlay) {
    if (g_verifyPassword == nullptr) return 0;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  hMainInstance = instance;
  InitCommonControls();
  OSVERSIONINFOA version;
  version.dwOSVersionInfoSize = sizeof version;
  g_oldFamily = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  if (g_oldFamily) g_queryCancelAutoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");

  const scrnsave::Mode mode = scrnsave::ParseMode(scrnsave::SkipProgramName(GetCommandLineA()));
  int result = -1;
  switch (mode.kind) {
    case scrnsave::ModeKind::kConfigure: {
      const char* arguments = scrnsave::SkipProgramName(GetCommandLineA());
      HWND owner = nullptr;
      if (*arguments != '\0') owner = OwnerOrForeground(mode);
      if (!RegisterDialogClasses(instance)) return 0;
      result = static_cast<int>(
          DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialogResource), owner,
                          reinterpret_cast<DLGPROC>(reinterpret_cast<void*>(ScreenSaverConfigureDialog)), 0));
      break;
    }
    case scrnsave::ModeKind::kSaver:
      if (g_oldFamily) LoadPasswordCheck();
      result = RunSaver(nullptr);
      UnloadPasswordCheck();
      break;
    case scrnsave::ModeKind::kPreview: {
      HWND parent = reinterpret_cast<HWND>(mode.window);
      if (!mode.hasWindow || mode.window == 0 || !IsWindow(parent)) return -1;
      fChildPreview = TRUE;
      result = RunSaver(parent);
      break;
    }
    case scrnsave::ModeKind::kPassword: {
      if (!g_oldFamily) return -1;
      HMODULE mpr = LoadLibraryA("MPR.DLL");
      if (mpr) {
        auto change = reinterpret_cast<ChangePasswordFn>(reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
        if (change) change("SCRSAVE", OwnerOrForeground(mode), 0, nullptr);
        FreeLibrary(mpr);
      }
      result = 0;
      break;
    }
    case scrnsave::ModeKind::kNone:
      result = -1;
      break;
  }
  return result;
}
