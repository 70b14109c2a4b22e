// The host's platform operations on Windows.
#pragma once

#include "platform.h"

namespace saver {

// What the screen-saver library gives the platform operations: its preview
// flag, the module instance it recorded and its default processing. Without
// the library (tools, tests) the flag is clear, the instance is the
// program's and the default processing is the system's.
struct ScreenSaverLibrary {
  bool (*isPreview)();
  void* (*moduleInstance)();
  intptr_t (*defScreenSaverProc)(Window window, unsigned message, uintptr_t wParam, intptr_t lParam);
};

class Win32Platform : public Platform {
 public:
  Win32Platform() = default;
  explicit Win32Platform(const ScreenSaverLibrary& library) : library_(library) {}

  std::string CommandLine() override;
  uint32_t TickCount() override;
  void SeedRandom(unsigned seed) override;
  int Random() override;
  void WriteStandardOutput(const char* text) override;
  int ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) override;
  uint32_t LastError() override;

  std::string TemporaryFolder() override;
  FileHandle OpenForReading(const char* path) override;
  FileHandle CreateForWriting(const char* path) override;
  bool Read(FileHandle file, void* buffer, uint32_t size, uint32_t* done) override;
  bool Write(FileHandle file, const void* data, uint32_t size, uint32_t* done) override;
  bool Seek(FileHandle file, int64_t offset, SeekFrom from, int64_t* position) override;
  void Close(FileHandle file) override;
  bool RemoveFile(const char* path) override;

  void TrackbarSetRange(Window dialog, int id, int low, int high, bool redraw) override;
  void TrackbarSetPosition(Window dialog, int id, int position, bool redraw) override;
  int TrackbarPosition(Window dialog, int id) override;
  void CheckButton(Window dialog, int id, unsigned state) override;
  unsigned ButtonState(Window dialog, int id) override;
  void SetItemText(Window dialog, int id, const char* text) override;

  bool RegistryOpen(const char* path, RegistryKey* key) override;
  long RegistryQuery(RegistryKey key, const char* name, uint32_t* type, void* buffer, uint32_t* size) override;
  void RegistryClose(RegistryKey key) override;
  uint32_t GetEnvironment(const char* name, char* buffer, uint32_t size) override;
  bool SetEnvironment(const char* name, const char* value) override;
  Library OpenLibrary(const char* path) override;
  void* LibrarySymbol(Library library, const char* name) override;
  void* ModuleInstance() override;
  bool IsPreview() override;
  bool SetTimer(Window window, uintptr_t id, uint32_t period) override;
  bool KillTimer(Window window, uintptr_t id) override;
  bool EndDialog(Window dialog, intptr_t result) override;
  bool DestroyWindow(Window window) override;
  bool PostClose(Window window) override;
  intptr_t DefScreenSaverProc(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) override;
  int SystemParameter(unsigned action) override;
  bool IsNtFamily() override;
  bool InitCommonControls() override;

 private:
  ScreenSaverLibrary library_ = {nullptr, nullptr, nullptr};
};

}  // namespace saver
