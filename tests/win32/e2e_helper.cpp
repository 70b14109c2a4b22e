// A test helper run under Wine beside the saver:
//   e2e_helper boxes FILE SECONDS
//       records every message box that appears ("caption|text|icon" per line,
//       icon: "icon" when the box shows one, else "none"; which icon is the
//       native tests' matter) and dismisses it with OK.
//   e2e_helper dialog POSITION QUIT PREVIEW SECONDS
//       waits for the configure dialog, moves its slider to POSITION, sets the
//       two check boxes (0 or 1) and presses OK.
//   e2e_helper parent FILE SAVER SECONDS
//       makes a parent window, starts "SAVER /p <its number>" and writes the
//       saver's exit code to FILE when it ends. The parent window is
//       destroyed, as the control panel destroys it, after SECONDS or as soon
//       as a file named FILE.stop exists.
//   e2e_helper front FILE SAVER SECONDS
//       stands in for a running saver with a window of class
//       "WindowsScreenSaverClass" titled "Screen Saver", puts another window of
//       its own in front, starts "SAVER /s" and waits for it to end. Writes to
//       FILE the foreground window before ("before CLASS|TITLE"), the saver's
//       exit code ("exit N") and the foreground window after ("after
//       CLASS|TITLE", then " stand-in" when it is the helper's saver window).
//       A real saver cannot be used for this: losing the foreground ends it.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>

namespace {

std::string Text(HWND window) {
  char text[1024] = {0};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct BoxSearch {
  std::set<HWND>* seen;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
  char cls[64] = {0};
  GetClassNameA(window, cls, sizeof cls);
  if (strcmp(cls, "#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr &&
      search->seen->count(window) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
  char cls[64] = {0};
  GetClassNameA(child, cls, sizeof cls);
  if (_stricmp(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0) {
    *reinterpret_cast<std::string*>(param) = "icon";
    return FALSE;
  }
  return TRUE;
}

int Boxes(const char* file, int seconds) {
  std::set<HWND> seen;
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (GetTickCount() < end) {
    BoxSearch search = {&seen, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      Sleep(200);
      std::string icon = "none";
      EnumChildWindows(search.found, FindIcon, reinterpret_cast<LPARAM>(&icon));
      char text[1024] = {0};
      GetDlgItemTextA(search.found, 0xFFFF, text, sizeof text);
      // One line per box: a line break in the text is written as " / ".
      std::string flat;
      for (const char* c = text; *c; ++c) {
        if (*c == '\r') continue;
        if (*c == '\n') flat += " / ";
        else flat += *c;
      }
      FILE* f = fopen(file, "a");
      fprintf(f, "%s|%s|%s\n", Text(search.found).c_str(), flat.c_str(), icon.c_str());
      fclose(f);
      PostMessageA(search.found, WM_COMMAND, IDOK, 0);
      // Wait for it to go: the next box may get the same handle.
      for (int i = 0; i < 100 && IsWindow(search.found) && IsWindowVisible(search.found); ++i) Sleep(50);
      if (IsWindow(search.found) && IsWindowVisible(search.found)) seen.insert(search.found);
    }
    Sleep(100);
  }
  return 0;
}

int Dialog(int position, int quit, int preview, int seconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  HWND dialog = nullptr;
  while (GetTickCount() < end && (dialog = FindWindowA("#32770", "Lumora Screensaver")) == nullptr) Sleep(200);
  if (dialog == nullptr) return 1;
  Sleep(500);
  SendDlgItemMessageA(dialog, 1002, TBM_SETPOS, TRUE, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1002)));
  if ((IsDlgButtonChecked(dialog, 1005) == BST_CHECKED) != (quit != 0))
    SendMessageA(GetDlgItem(dialog, 1005), BM_CLICK, 0, 0);
  if ((IsDlgButtonChecked(dialog, 1006) == BST_CHECKED) != (preview != 0))
    SendMessageA(GetDlgItem(dialog, 1006), BM_CLICK, 0, 0);
  char label[64] = {0};
  GetDlgItemTextA(dialog, 1003, label, sizeof label);
  printf("label %s\n", label);
  SendMessageA(GetDlgItem(dialog, 1), BM_CLICK, 0, 0);
  return 0;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Starts "SAVER ARGS"; false when the process could not be made.
bool StartSaver(const char* saver, const char* args, PROCESS_INFORMATION* pi) {
  char command[1024];
  snprintf(command, sizeof command, "\"%s\" %s", saver, args);
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  return CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi) != 0;
}

// Handles this helper's window messages until the process ends, SECONDS
// pass, or a file named STOP (when given) exists.
void RunWhile(HANDLE process, int seconds, const char* stop) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (GetTickCount() < end) {
    Pump();
    if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) break;
    if (stop != nullptr && GetFileAttributesA(stop) != INVALID_FILE_ATTRIBUTES) break;
  }
}

int Parent(const char* file, const char* saver, int seconds) {
  const std::string stop = std::string(file) + ".stop";
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  cls.lpszClassName = "SaverTestParent";
  RegisterClassA(&cls);
  HWND parent = CreateWindowA("SaverTestParent", "Preview parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 320, 240,
                              nullptr, nullptr, cls.hInstance, nullptr);
  char args[64];
  snprintf(args, sizeof args, "/p %lu", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)));
  PROCESS_INFORMATION pi;
  if (!StartSaver(saver, args, &pi)) return 1;
  RunWhile(pi.hProcess, seconds, stop.c_str());
  DestroyWindow(parent);  // ends the preview as the control panel would
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  FILE* f = fopen(file, "w");
  fprintf(f, "%ld\n", static_cast<long>(code));
  fclose(f);
  return 0;
}

std::string Foreground() {
  HWND window = GetForegroundWindow();
  if (window == nullptr) return "none";
  char cls[128] = {0};
  GetClassNameA(window, cls, sizeof cls);
  return std::string(cls) + "|" + Text(window);
}

int Front(const char* file, const char* saver, int seconds) {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "WindowsScreenSaverClass";
  RegisterClassA(&cls);
  cls.lpszClassName = "SaverTestFront";
  RegisterClassA(&cls);
  HWND standIn = CreateWindowA("WindowsScreenSaverClass", "Screen Saver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                               300, 200, nullptr, nullptr, cls.hInstance, nullptr);
  HWND own = CreateWindowA("SaverTestFront", "Helper in front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 100,
                           nullptr, nullptr, cls.hInstance, nullptr);
  SetForegroundWindow(own);
  for (int i = 0; i < 20; ++i) {
    Pump();
    Sleep(50);
  }
  std::string before = Foreground();
  PROCESS_INFORMATION pi;
  if (!StartSaver(saver, "/s", &pi)) return 1;
  RunWhile(pi.hProcess, seconds, nullptr);
  for (int i = 0; i < 20; ++i) {
    Pump();
    Sleep(50);
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(pi.hProcess, &code);
  if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
  FILE* f = fopen(file, "w");
  fprintf(f, "before %s\nexit %ld\nafter %s%s\n", before.c_str(), static_cast<long>(code), Foreground().c_str(),
          GetForegroundWindow() == standIn ? " stand-in" : "");
  fclose(f);
  DestroyWindow(own);
  DestroyWindow(standIn);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "boxes") == 0) return Boxes(argv[2], atoi(argv[3]));
  if (argc == 6 && strcmp(argv[1], "dialog") == 0) return Dialog(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
  if (argc == 5 && strcmp(argv[1], "parent") == 0) return Parent(argv[2], argv[3], atoi(argv[4]));
  if (argc == 5 && strcmp(argv[1], "front") == 0) return Front(argv[2], argv[3], atoi(argv[4]));
  fprintf(stderr,
          "usage: e2e_helper boxes FILE SECONDS | dialog POS QUIT PREVIEW SECONDS | parent FILE SAVER SECONDS"
          " | front FILE SAVER SECONDS\n");
  return 2;
}
