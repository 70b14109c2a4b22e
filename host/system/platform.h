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
};

}  // namespace saver
