// saverhost's side of the screen-saver library: the three procedures it
// calls, bound to the one host of this process.
#include <windows.h>

#include "host/saver/host.h"
#include "host/system/win32_platform.h"
#include "scrnsave/scrnsave.h"

namespace {

bool LibraryPreview() { return fChildPreview != FALSE; }
void* LibraryInstance() { return hMainInstance; }
intptr_t LibraryDefault(saver::Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  return DefScreenSaverProc(static_cast<HWND>(window), message, wParam, lParam);
}

saver::Host& TheHost() {
  static saver::Win32Platform platform(saver::ScreenSaverLibrary{LibraryPreview, LibraryInstance, LibraryDefault});
  static saver::Host host(platform, saver::TheSaverSettings());
  return host;
}

}  // namespace

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return TheHost().ScreenSaverProc(window, message, wParam, lParam);
}

extern "C" BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return static_cast<BOOL>(TheHost().ScreenSaverConfigureDialog(dialog, message, wParam, lParam));
}

extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE instance) {
  return TheHost().RegisterDialogClasses(instance) ? TRUE : FALSE;
}
