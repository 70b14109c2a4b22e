// The engine as saverhost sees it: the engine control interface, the engine
// core, the value channel's SetValue, and the file loader and saver objects.
// Each is reached only through its table of virtual operations, declared
// here in table order; the engine library implements them. GUIDs pass by
// value, text as zero-terminated 8-bit strings, floats as 32-bit values.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include "host/engine/guid.h"
#endif

namespace engine {

// The value channel type, the only kind of channel the host looks up.
constexpr GUID kValueChannelType = {0xBE69CCC4, 0xCFC1, 0x4362, {0xAC, 0x81, 0x76, 0x7D, 0x19, 0x9B, 0xBF, 0xC3}};
constexpr GUID kFileLoaderClass = {0x0D762706, 0x382C, 0x4BDD, {0xA1, 0xC7, 0xE9, 0x55, 0x4B, 0x9F, 0x8B, 0xA7}};
constexpr GUID kFileSaverClass = {0x108C5C2D, 0x560A, 0x49D1, {0x83, 0x70, 0xDA, 0x8D, 0xB8, 0xE2, 0x8B, 0x1C}};

// A value channel: the engine's channel base (the destructor's two entries
// and seventeen other operations the host never calls), then GetValue and
// SetValue.
class ValueChannel {
 public:
  virtual ~ValueChannel() = default;
  virtual void Base01() = 0;
  virtual void Base02() = 0;
  virtual void Base03() = 0;
  virtual void Base04() = 0;
  virtual void Base05() = 0;
  virtual void Base06() = 0;
  virtual void Base07() = 0;
  virtual void Base08() = 0;
  virtual void Base09() = 0;
  virtual void Base10() = 0;
  virtual void Base11() = 0;
  virtual void Base12() = 0;
  virtual void Base13() = 0;
  virtual void Base14() = 0;
  virtual void Base15() = 0;
  virtual void Base16() = 0;
  virtual void Base17() = 0;
  virtual float GetValue() = 0;
  virtual void SetValue(float value) = 0;
};

class FileLoader {
 public:
  // 1: ends the loader and frees it.
  virtual void Release(int how) = 0;
  // True when the file opened.
  virtual bool Open(const char* path) = 0;
  // Copies the data of the tag found last.
  virtual void CopyTagDataToPointer(void* destination) = 0;
  // True when the four-letter tag is found.
  virtual bool GetInfoIfTag(char* tag) = 0;

 protected:
  ~FileLoader() = default;
};

class FileSaver {
 public:
  // True when the file could be created; mode 0.
  virtual bool OpenForWrite(const char* path, int mode) = 0;
  // One tagged block: tag, size, data.
  virtual int SaveTag(const char* tag) = 0;
  virtual int SaveBlockSize(unsigned long size) = 0;
  virtual int SaveDataToFile(const void* data, unsigned long size) = 0;
  // Ends the writing.
  virtual bool Close() = 0;

 protected:
  ~FileSaver() = default;
};

class EngineCore {
 public:
  // A new file loader or file saver object for its class GUID (with 0, 0),
  // or null.
  virtual void* CreateObject(GUID classGuid, int a, int b) = 0;
  // The running project's channel of that type and name, or null.
  virtual ValueChannel* FindChannel(GUID typeGuid, const char* name) = 0;

 protected:
  ~EngineCore() = default;
};

class EngineControl {
 public:
  // 1: ends the engine and frees the interface.
  virtual void Release(int how) = 0;
  // 0 when the project runs.
  virtual int StartProject() = 0;
  // Module instance, product text ("Lumora"), window; true when started.
  virtual bool StartEngine(void* instance, const char* product, void* window) = 0;
  // One frame.
  virtual int RunFrame() = 0;
  virtual void SetProjectFile(const char* file) = 0;
  // There after a successful StartEngine.
  virtual EngineCore* GetEngineCore() = 0;
  virtual intptr_t HandleMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) = 0;
  virtual void SetProjectFolder(const char* folder) = 0;
  virtual void SetRegistryKey(const char* key) = 0;

 protected:
  ~EngineControl() = default;
};

// The engine library's export.
using GetEngineControlInstanceFn = EngineControl* (*)();

}  // namespace engine
