// The engine's host side: the engine control interface a host gets from
// GetEngineControlInstance, and the engine core. The virtual operations are
// in the order hosts rely on; nothing precedes them in the table.
#pragma once

#include <stdint.h>

#include "meshwerk/api.h"
#include "meshwerk/channel.h"

struct Kvn_EngineData;

class MESHWERK_API Kvn_EngineCore {
 public:
  // A new KvnFileLoader or KvnFileSaver for its class GUID (a and b are 0),
  // or null for any other GUID. The engine owns what it makes: a loader
  // ends with its Release(1), a saver with the engine.
  virtual void* CreateObject(GUID classGuid, int a, int b);
  // The running project's value channel of that name, or null (also for
  // any other type GUID).
  virtual Kvn_ValueChannel* FindChannel(GUID typeGuid, const char* name);

  explicit Kvn_EngineCore(Kvn_EngineData* engine);
  virtual ~Kvn_EngineCore();

 private:
  Kvn_EngineData* engine_;
};

class MESHWERK_API Kvn_EngineControl {
 public:
  // 1: ends the engine and frees this object.
  virtual void Release(int how);
  // Loads the project file and starts it: 0 when it runs.
  virtual int StartProject();
  virtual bool StartEngine(void* instance, const char* product, void* window);
  virtual int RunFrame();
  // Relative paths resolve against the project folder.
  virtual void SetProjectFile(const char* file);
  virtual Kvn_EngineCore* GetEngineCore();
  virtual intptr_t HandleMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);
  virtual void SetProjectFolder(const char* folder);
  virtual void SetRegistryKey(const char* key);

  Kvn_EngineControl();
  virtual ~Kvn_EngineControl();

  // The engine's own, for its tools and tests.
  bool IsStarted() const;
  int FramesRun() const;
  const char* LastError() const;
  int EffectCount() const;
  Kvn_Channel* EffectChannel(int i) const;
  BassStream* StreamOf(int effect) const;

 private:
  Kvn_EngineData* data_;
};

extern "C" MESHWERK_API Kvn_EngineControl* GetEngineControlInstance();
