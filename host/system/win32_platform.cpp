// Win32Platform: each operation is the system call it stands for.
#include "win32_platform.h"

#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

namespace saver {

namespace {
HANDLE ToHandle(FileHandle f) { return f == kInvalidFile ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(f); }
FileHandle FromHandle(HANDLE h) { return h == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(h); }
}  // namespace

std::string Win32Platform::CommandLine() {
  const char* line = GetCommandLineA();
  return line ? line : "";
}
uint32_t Win32Platform::TickCount() { return GetTickCount(); }
void Win32Platform::SeedRandom(unsigned seed) { srand(seed); }
int Win32Platform::Random() { return rand(); }
void Win32Platform::WriteStandardOutput(const char* text) {
  fputs(text, stdout);
  fflush(stdout);
}
int Win32Platform::ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) {
  return MessageBoxA(static_cast<HWND>(owner), text, caption, type);
}
uint32_t Win32Platform::LastError() { return GetLastError(); }

std::string Win32Platform::TemporaryFolder() {
  char path[MAX_PATH + 1] = {0};
  const DWORD n = GetTempPathA(sizeof path, path);
  return (n == 0 || n > MAX_PATH) ? std::string() : std::string(path, n);
}

FileHandle Win32Platform::OpenForReading(const char* path) {
  return FromHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}
FileHandle Win32Platform::CreateForWriting(const char* path) {
  return FromHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}
bool Win32Platform::Read(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  DWORD n = 0;
  const BOOL ok = ReadFile(ToHandle(file), buffer, size, &n, nullptr);
  *done = ok ? n : 0;
  return ok != 0;
}
bool Win32Platform::Write(FileHandle file, const void* data, uint32_t size, uint32_t* done) {
  DWORD n = 0;
  const BOOL ok = WriteFile(ToHandle(file), data, size, &n, nullptr);
  *done = ok ? n : 0;
  return ok != 0;
}
bool Win32Platform::Seek(FileHandle file, int64_t offset, SeekFrom from, int64_t* position) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  const DWORD method = from == SeekFrom::kBegin ? FILE_BEGIN : from == SeekFrom::kCurrent ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(ToHandle(file), distance, &result, method)) return false;
  if (position) *position = result.QuadPart;
  return true;
}
void Win32Platform::Close(FileHandle file) {
  if (file != kInvalidFile) CloseHandle(ToHandle(file));
}
bool Win32Platform::RemoveFile(const char* path) { return DeleteFileA(path) != 0; }

void Win32Platform::TrackbarSetRange(Window dialog, int id, int low, int high, bool redraw) {
  SendDlgItemMessageA(static_cast<HWND>(dialog), id, TBM_SETRANGE, redraw ? TRUE : FALSE, MAKELPARAM(low, high));
}
void Win32Platform::TrackbarSetPosition(Window dialog, int id, int position, bool redraw) {
  SendDlgItemMessageA(static_cast<HWND>(dialog), id, TBM_SETPOS, redraw ? TRUE : FALSE, position);
}
int Win32Platform::TrackbarPosition(Window dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(static_cast<HWND>(dialog), id, TBM_GETPOS, 0, 0));
}
void Win32Platform::CheckButton(Window dialog, int id, unsigned state) {
  CheckDlgButton(static_cast<HWND>(dialog), id, state);
}
unsigned Win32Platform::ButtonState(Window dialog, int id) { return IsDlgButtonChecked(static_cast<HWND>(dialog), id); }
void Win32Platform::SetItemText(Window dialog, int id, const char* text) {
  SetDlgItemTextA(static_cast<HWND>(dialog), id, text);
}

bool Win32Platform::RegistryOpen(const char* path, RegistryKey* key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  *key = reinterpret_cast<RegistryKey>(h);
  return true;
}
long Win32Platform::RegistryQuery(RegistryKey key, const char* name, uint32_t* type, void* buffer, uint32_t* size) {
  DWORD t = 0, n = *size;
  const LONG r = RegQueryValueExA(reinterpret_cast<HKEY>(key), name, nullptr, &t, static_cast<BYTE*>(buffer), &n);
  if (type) *type = t;
  *size = n;
  return r;
}
void Win32Platform::RegistryClose(RegistryKey key) { RegCloseKey(reinterpret_cast<HKEY>(key)); }
uint32_t Win32Platform::GetEnvironment(const char* name, char* buffer, uint32_t size) {
  return GetEnvironmentVariableA(name, buffer, size);
}
bool Win32Platform::SetEnvironment(const char* name, const char* value) {
  return SetEnvironmentVariableA(name, value) != 0;
}
Library Win32Platform::OpenLibrary(const char* path) { return reinterpret_cast<Library>(LoadLibraryA(path)); }
void* Win32Platform::LibrarySymbol(Library library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}
void* Win32Platform::ModuleInstance() {
  return library_.moduleInstance ? library_.moduleInstance() : GetModuleHandleA(nullptr);
}
bool Win32Platform::IsPreview() { return library_.isPreview ? library_.isPreview() : false; }
bool Win32Platform::SetTimer(Window window, uintptr_t id, uint32_t period) {
  return ::SetTimer(static_cast<HWND>(window), id, period, nullptr) != 0;
}
bool Win32Platform::KillTimer(Window window, uintptr_t id) { return ::KillTimer(static_cast<HWND>(window), id) != 0; }
bool Win32Platform::EndDialog(Window dialog, intptr_t result) { return ::EndDialog(static_cast<HWND>(dialog), result) != 0; }
bool Win32Platform::PostClose(Window window) {
  return PostMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0) != 0;
}
bool Win32Platform::DestroyWindow(Window window) { return ::DestroyWindow(static_cast<HWND>(window)) != 0; }
intptr_t Win32Platform::DefScreenSaverProc(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (library_.defScreenSaverProc) return library_.defScreenSaverProc(window, message, wParam, lParam);
  return DefWindowProcA(static_cast<HWND>(window), message, wParam, lParam);
}
int Win32Platform::SystemParameter(unsigned action) {
  int value = 0;
  return SystemParametersInfoA(action, 0, &value, 0) ? value : 0;
}
bool Win32Platform::IsNtFamily() {
  OSVERSIONINFOA info;
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
bool Win32Platform::InitCommonControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  return InitCommonControlsEx(&controls) != 0;
}

}  // namespace saver
