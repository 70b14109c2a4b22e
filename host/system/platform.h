// The host's platform operations: everything saverhost asks of the operating
// system goes through one Platform. Two providers: Win32Platform (the real
// one) and TestPlatform (files on disk through POSIX, everything else kept in
// memory and recorded, for native tests).
//
// Each operation follows the system call it stands for; failures are
// reported as results (false, an invalid handle, 0) and leave LastError set.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace saver {

// An open file; kInvalidFile when an open failed.
using FileHandle = intptr_t;
constexpr FileHandle kInvalidFile = -1;

enum class SeekFrom { kBegin, kCurrent, kEnd };

// A window or dialog handle.
using Window = void*;

// Check box states, with the platform's values.
constexpr unsigned kUnchecked = 0;
constexpr unsigned kChecked = 1;
constexpr unsigned kIndeterminate = 2;

// Message box types and results, with the platform's values.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdOk = 1;

// System error numbers the host shows or tests rely on.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorProcNotFound = 127;
constexpr uint32_t kErrorEnvVarNotFound = 203;
constexpr long kErrorMoreData = 234;

// Registry value types.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;

// System parameters the host reads.
constexpr unsigned kSpiGetPowerOffActive = 0x0054;
constexpr unsigned kSpiGetPowerOffTimeout = 0x0050;
constexpr unsigned kSpiGetScreenSaveTimeout = 0x000E;

using RegistryKey = intptr_t;  // 0: none
using Library = intptr_t;      // 0: none

class Platform {
 public:
  Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
  virtual ~Platform() = default;

  // ---- process
  // The process's whole command line, as the system gives it.
  virtual std::string CommandLine() = 0;
  // Milliseconds since the system started (wraps).
  virtual uint32_t TickCount() = 0;
  // The runtime's pseudo-random generator: seed, then numbers 0..32767.
  virtual void SeedRandom(unsigned seed) = 0;
  virtual int Random() = 0;
  virtual void WriteStandardOutput(const char* text) = 0;
  // A modal message box; returns the button pressed (kIdOk).
  virtual int ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) = 0;
  // The error number of the last failed operation on this thread.
  virtual uint32_t LastError() = 0;

  // ---- files
  // The temporary folder as the system reports it (at most 260 characters;
  // on Windows it ends with a backslash).
  virtual std::string TemporaryFolder() = 0;
  // Opens an existing file for reading, shared for reading.
  virtual FileHandle OpenForReading(const char* path) = 0;
  // Creates (or truncates) a file for writing, no sharing.
  virtual FileHandle CreateForWriting(const char* path) = 0;
  // Reads up to size bytes; *done receives the count. False on failure
  // (an invalid handle included); 0 bytes with true means end of file.
  virtual bool Read(FileHandle file, void* buffer, uint32_t size, uint32_t* done) = 0;
  virtual bool Write(FileHandle file, const void* data, uint32_t size, uint32_t* done) = 0;
  // Moves the file position; *position (may be null) receives the new one.
  virtual bool Seek(FileHandle file, int64_t offset, SeekFrom from, int64_t* position) = 0;
  virtual void Close(FileHandle file) = 0;
  virtual bool RemoveFile(const char* path) = 0;

  // ---- controls of a dialog window, by control id
  // Trackbar: range (redrawn or not), position (kept inside the range).
  virtual void TrackbarSetRange(Window dialog, int id, int low, int high, bool redraw) = 0;
  virtual void TrackbarSetPosition(Window dialog, int id, int position, bool redraw) = 0;
  virtual int TrackbarPosition(Window dialog, int id) = 0;
  // Check box state: kUnchecked, kChecked or kIndeterminate.
  virtual void CheckButton(Window dialog, int id, unsigned state) = 0;
  virtual unsigned ButtonState(Window dialog, int id) = 0;
  virtual void SetItemText(Window dialog, int id, const char* text) = 0;

  // ---- registry, read-only under HKEY_LOCAL_MACHINE
  virtual bool RegistryOpen(const char* path, RegistryKey* key) = 0;
  // As the system's value query: *size holds the buffer's size and receives
  // the value's; returns 0, kErrorMoreData when the buffer is too small, or
  // another system error.
  virtual long RegistryQuery(RegistryKey key, const char* name, uint32_t* type, void* buffer, uint32_t* size) = 0;
  virtual void RegistryClose(RegistryKey key) = 0;

  // ---- environment of the process
  // As the system's query: the length without the terminator when it fits
  // size, else the size needed with it; 0 when the variable is not set.
  virtual uint32_t GetEnvironment(const char* name, char* buffer, uint32_t size) = 0;
  virtual bool SetEnvironment(const char* name, const char* value) = 0;

  // ---- run-time libraries (never unloaded)
  virtual Library OpenLibrary(const char* path) = 0;
  virtual void* LibrarySymbol(Library library, const char* name) = 0;

  // ---- windows, timers, dialogs, system settings
  // The program's module instance, as the screen-saver library recorded it.
  virtual void* ModuleInstance() = 0;
  // The screen-saver library's preview flag.
  virtual bool IsPreview() = 0;
  virtual bool SetTimer(Window window, uintptr_t id, uint32_t period) = 0;
  virtual bool KillTimer(Window window, uintptr_t id) = 0;
  virtual bool EndDialog(Window dialog, intptr_t result) = 0;
  virtual bool DestroyWindow(Window window) = 0;
  // Posts WM_CLOSE to the window.
  virtual bool PostClose(Window window) = 0;
  // The screen-saver library's default processing.
  virtual intptr_t DefScreenSaverProc(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) = 0;
  // SPI_GETPOWEROFFACTIVE and the two timeouts (seconds): the value read.
  virtual int SystemParameter(unsigned action) = 0;
  virtual bool IsNtFamily() = 0;
  virtual bool InitCommonControls() = 0;
};

}  // namespace saver
