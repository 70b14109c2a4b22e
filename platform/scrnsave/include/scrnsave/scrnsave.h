// The screen-saver library: it owns the program's entry, the command-line
// modes, the saver window and the message loop, and calls three procedures
// the screen saver supplies. Windows only; its decisions are in decisions.h.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Supplied by the screen saver.
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI RegisterDialogClasses(HANDLE instance);

// Supplied by the library.
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern HINSTANCE hMainInstance;  // the program's module instance
extern HWND hMainWindow;         // the saver window, once created
extern BOOL fChildPreview;       // true when the saver window is a preview child

#ifdef __cplusplus
}
#endif
