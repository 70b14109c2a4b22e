// A platform for native tests: files are real files on disk (POSIX), and
// the command line, clock, message boxes, standard output and last error are
// kept in memory, so that tests can set what the host sees and read back
// what it showed.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform.h"

namespace saver {

struct RecordedMessageBox {
  void* owner;
  std::string text;
  std::string caption;
  unsigned type;
};

// A dialog control as the test platform keeps it.
struct TestControl {
  int low = 0;
  int high = 100;
  int position = 0;
  unsigned state = kUnchecked;
  std::string text;
};

class TestPlatform : public Platform {
 public:
  TestPlatform();
  ~TestPlatform() override;

  // What the host sees.
  void SetCommandLine(const std::string& commandLine) { commandLine_ = commandLine; }
  void SetTickCount(uint32_t ticks) { ticks_ = ticks; }
  void SetTemporaryFolder(const std::string& folder) { temporaryFolder_ = folder; }

  // What the host did.
  const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
  const std::string& StandardOutput() const { return stdout_; }
  int OpenFileCount() const;
  // Registry values under HKEY_LOCAL_MACHINE (key path letter case ignored).
  void AddRegistryValue(const std::string& key, const std::string& name, uint32_t type, const std::string& data);
  // A library the host may open by this path, with its exports.
  void AddLibrary(const std::string& path, const std::map<std::string, void*>& exports);
  void SetPreview(bool preview) { preview_ = preview; }
  void SetNtFamily(bool nt) { nt_ = nt; }
  void SetSystemParameter(unsigned action, int value) { parameters_[action] = value; }
  const std::map<std::string, std::string>& Environment() const { return environment_; }
  // The host's calls of window, timer, dialog and library operations and
  // its message boxes, in order, one line each; tests add their own lines
  // (the engine's calls) with Record.
  const std::vector<std::string>& Calls() const { return calls_; }
  void Record(const std::string& line) { calls_.push_back(line); }
  void ClearCalls() { calls_.clear(); }

  // Controls of dialogs, and every control operation in order, one line each
  // ("range 1002 1..100 redraw 0", "position 1002 16 redraw 1", "check 1005 1",
  // "text 1003 62 FPS").
  TestControl& Control(Window dialog, int id) { return controls_[{dialog, id}]; }
  const std::vector<std::string>& ControlLog() const { return controlLog_; }

  std::string CommandLine() override { return commandLine_; }
  uint32_t TickCount() override { return ticks_; }
  void SeedRandom(unsigned seed) override { seed_ = seed; }
  int Random() override;
  void WriteStandardOutput(const char* text) override { stdout_ += text; }
  int ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) override;
  uint32_t LastError() override { return lastError_; }

  std::string TemporaryFolder() override { return temporaryFolder_; }
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
  void* ModuleInstance() override { return reinterpret_cast<void*>(0x400000); }
  bool IsPreview() override { return preview_; }
  bool SetTimer(Window window, uintptr_t id, uint32_t period) override;
  bool KillTimer(Window window, uintptr_t id) override;
  bool EndDialog(Window dialog, intptr_t result) override;
  bool DestroyWindow(Window window) override;
  bool PostClose(Window window) override;
  intptr_t DefScreenSaverProc(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) override;
  int SystemParameter(unsigned action) override;
  bool IsNtFamily() override { return nt_; }
  bool InitCommonControls() override;

 private:
  bool Valid(FileHandle file);

  std::string commandLine_;
  uint32_t ticks_ = 0;
  unsigned seed_ = 1;
  std::string temporaryFolder_ = "/tmp/";
  std::vector<RecordedMessageBox> boxes_;
  std::string stdout_;
  uint32_t lastError_ = 0;
  std::vector<int> open_;  // descriptors this platform opened and not yet closed
  std::map<std::pair<Window, int>, TestControl> controls_;
  std::vector<std::string> controlLog_;
  struct RegistryValue {
    uint32_t type;
    std::string data;
  };
  std::map<std::string, std::map<std::string, RegistryValue>> registry_;
  std::vector<std::string> openKeys_;
  std::map<std::string, std::string> environment_;
  std::vector<std::pair<std::string, std::map<std::string, void*>>> libraries_;
  std::map<unsigned, int> parameters_;
  std::vector<std::string> calls_;
  bool preview_ = false;
  bool nt_ = true;
};

}  // namespace saver
