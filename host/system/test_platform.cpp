// TestPlatform: POSIX files, everything else in memory.
#include "test_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>

namespace saver {

TestPlatform::TestPlatform() = default;
TestPlatform::~TestPlatform() {
  for (int fd : open_) ::close(fd);
}

// The runtime generator of the platform's C library (msvcrt), so that a seed
// gives the same numbers as on Windows.
int TestPlatform::Random() {
  seed_ = seed_ * 214013u + 2531011u;
  return static_cast<int>((seed_ >> 16) & 0x7FFF);
}

int TestPlatform::ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) {
  boxes_.push_back({owner, text ? text : "", caption ? caption : "", type});
  char line[64];
  snprintf(line, sizeof line, "MessageBox owner %s type 0x%X ", owner ? "window" : "none", type);
  calls_.push_back(line + boxes_.back().caption + " | " + boxes_.back().text);
  return kIdOk;
}

int TestPlatform::OpenFileCount() const { return static_cast<int>(open_.size()); }

bool TestPlatform::Valid(FileHandle file) {
  if (std::find(open_.begin(), open_.end(), static_cast<int>(file)) != open_.end()) return true;
  lastError_ = kErrorInvalidHandle;
  return false;
}

static uint32_t ErrorFromErrno(int e) { return e == ENOENT ? kErrorFileNotFound : static_cast<uint32_t>(1000 + e); }

FileHandle TestPlatform::OpenForReading(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    lastError_ = ErrorFromErrno(errno);
    return kInvalidFile;
  }
  open_.push_back(fd);
  return fd;
}

FileHandle TestPlatform::CreateForWriting(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    lastError_ = ErrorFromErrno(errno);
    return kInvalidFile;
  }
  open_.push_back(fd);
  return fd;
}

bool TestPlatform::Read(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  *done = 0;
  if (!Valid(file)) return false;
  const ssize_t n = ::read(static_cast<int>(file), buffer, size);
  if (n < 0) {
    lastError_ = ErrorFromErrno(errno);
    return false;
  }
  *done = static_cast<uint32_t>(n);
  return true;
}

bool TestPlatform::Write(FileHandle file, const void* data, uint32_t size, uint32_t* done) {
  *done = 0;
  if (!Valid(file)) return false;
  const ssize_t n = ::write(static_cast<int>(file), data, size);
  if (n < 0) {
    lastError_ = ErrorFromErrno(errno);
    return false;
  }
  *done = static_cast<uint32_t>(n);
  return true;
}

bool TestPlatform::Seek(FileHandle file, int64_t offset, SeekFrom from, int64_t* position) {
  if (!Valid(file)) return false;
  const int whence = from == SeekFrom::kBegin ? SEEK_SET : from == SeekFrom::kCurrent ? SEEK_CUR : SEEK_END;
  const off_t at = ::lseek(static_cast<int>(file), static_cast<off_t>(offset), whence);
  if (at < 0) {
    lastError_ = 131;  // negative seek, as the platform reports it
    return false;
  }
  if (position) *position = at;
  return true;
}

void TestPlatform::Close(FileHandle file) {
  auto it = std::find(open_.begin(), open_.end(), static_cast<int>(file));
  if (it == open_.end()) return;
  ::close(*it);
  open_.erase(it);
}

bool TestPlatform::RemoveFile(const char* path) {
  if (::unlink(path) != 0) {
    lastError_ = ErrorFromErrno(errno);
    return false;
  }
  return true;
}

void TestPlatform::TrackbarSetRange(Window dialog, int id, int low, int high, bool redraw) {
  TestControl& c = Control(dialog, id);
  c.low = low;
  c.high = high;
  if (c.position < low) c.position = low;
  if (c.position > high) c.position = high;
  controlLog_.push_back("range " + std::to_string(id) + " " + std::to_string(low) + ".." + std::to_string(high) +
                        " redraw " + std::to_string(redraw ? 1 : 0));
}

// A trackbar keeps its position inside its range.
void TestPlatform::TrackbarSetPosition(Window dialog, int id, int position, bool redraw) {
  TestControl& c = Control(dialog, id);
  c.position = position < c.low ? c.low : position > c.high ? c.high : position;
  controlLog_.push_back("position " + std::to_string(id) + " " + std::to_string(position) + " redraw " +
                        std::to_string(redraw ? 1 : 0));
}

int TestPlatform::TrackbarPosition(Window dialog, int id) { return Control(dialog, id).position; }

void TestPlatform::CheckButton(Window dialog, int id, unsigned state) {
  Control(dialog, id).state = state;
  controlLog_.push_back("check " + std::to_string(id) + " " + std::to_string(state));
}

unsigned TestPlatform::ButtonState(Window dialog, int id) { return Control(dialog, id).state; }

void TestPlatform::SetItemText(Window dialog, int id, const char* text) {
  Control(dialog, id).text = text ? text : "";
  controlLog_.push_back("text " + std::to_string(id) + " " + Control(dialog, id).text);
}

namespace {
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}
std::string Hex(unsigned v) {
  char b[16];
  snprintf(b, sizeof b, "0x%04X", v);
  return b;
}
}  // namespace

void TestPlatform::AddRegistryValue(const std::string& key, const std::string& name, uint32_t type,
                                    const std::string& data) {
  registry_[Lower(key)][Lower(name)] = {type, data};
}

void TestPlatform::AddLibrary(const std::string& path, const std::map<std::string, void*>& exports) {
  libraries_.push_back({path, exports});
}

bool TestPlatform::RegistryOpen(const char* path, RegistryKey* key) {
  auto it = registry_.find(Lower(path ? path : ""));
  if (it == registry_.end()) {
    lastError_ = kErrorFileNotFound;
    return false;
  }
  openKeys_.push_back(it->first);
  *key = static_cast<RegistryKey>(openKeys_.size());
  return true;
}

long TestPlatform::RegistryQuery(RegistryKey key, const char* name, uint32_t* type, void* buffer, uint32_t* size) {
  if (key <= 0 || static_cast<size_t>(key) > openKeys_.size()) return kErrorInvalidHandle;
  const auto& values = registry_[openKeys_[static_cast<size_t>(key) - 1]];
  auto it = values.find(Lower(name ? name : ""));
  if (it == values.end()) return kErrorFileNotFound;
  const uint32_t needed = static_cast<uint32_t>(it->second.data.size());
  if (type) *type = it->second.type;
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return buffer == nullptr ? 0 : kErrorMoreData;
  }
  memcpy(buffer, it->second.data.data(), needed);
  *size = needed;
  return 0;
}

void TestPlatform::RegistryClose(RegistryKey key) { calls_.push_back("RegCloseKey " + std::to_string(key)); }

uint32_t TestPlatform::GetEnvironment(const char* name, char* buffer, uint32_t size) {
  auto it = environment_.find(name ? name : "");
  if (it == environment_.end()) {
    lastError_ = kErrorEnvVarNotFound;
    return 0;
  }
  const uint32_t length = static_cast<uint32_t>(it->second.size());
  if (size <= length) return length + 1;
  memcpy(buffer, it->second.c_str(), length + 1);
  return length;
}

bool TestPlatform::SetEnvironment(const char* name, const char* value) {
  environment_[name ? name : ""] = value ? value : "";
  calls_.push_back(std::string("SetEnvironment ") + (name ? name : ""));
  return true;
}

Library TestPlatform::OpenLibrary(const char* path) {
  calls_.push_back(std::string("LoadLibrary ") + (path ? path : ""));
  for (size_t i = 0; i < libraries_.size(); ++i)
    if (libraries_[i].first == (path ? path : "")) return static_cast<Library>(i + 1);
  lastError_ = kErrorModNotFound;
  return 0;
}

void* TestPlatform::LibrarySymbol(Library library, const char* name) {
  if (library <= 0 || static_cast<size_t>(library) > libraries_.size()) return nullptr;
  const auto& exports = libraries_[static_cast<size_t>(library) - 1].second;
  auto it = exports.find(name ? name : "");
  if (it == exports.end()) {
    lastError_ = kErrorProcNotFound;
    return nullptr;
  }
  return it->second;
}

bool TestPlatform::SetTimer(Window, uintptr_t id, uint32_t period) {
  calls_.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(period));
  return true;
}
bool TestPlatform::KillTimer(Window, uintptr_t id) {
  calls_.push_back("KillTimer " + std::to_string(id));
  return true;
}
bool TestPlatform::EndDialog(Window, intptr_t result) {
  calls_.push_back("EndDialog " + std::to_string(result));
  return true;
}
bool TestPlatform::PostClose(Window) {
  calls_.push_back("PostClose");
  return true;
}
bool TestPlatform::DestroyWindow(Window) {
  calls_.push_back("DestroyWindow");
  return true;
}
intptr_t TestPlatform::DefScreenSaverProc(Window, unsigned message, uintptr_t, intptr_t) {
  calls_.push_back("DefScreenSaverProc " + Hex(message));
  return 0;
}
int TestPlatform::SystemParameter(unsigned action) {
  auto it = parameters_.find(action);
  return it == parameters_.end() ? 0 : it->second;
}
bool TestPlatform::InitCommonControls() {
  calls_.push_back("InitCommonControls");
  return true;
}

}  // namespace saver
