// The engine's host side: engine control, engine core, and the objects the
// core makes by class GUID.
#include "meshwerk/engine.h"

#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "meshwerk/file.h"
#include "meshwerk/guid.h"

struct Kvn_EngineData {
  bool started = false;
  std::string product;
  std::string projectFolder;
  std::string projectFile;
  std::string registryKey;
  std::string lastError;
  int frames = 0;
  std::unique_ptr<Kvn_EngineCore> core;
  std::vector<std::unique_ptr<KvnFileSaver>> savers;  // hosts drop savers after Close
  std::vector<std::unique_ptr<Kvn_ValueChannel>> channels;
};

Kvn_EngineCore::Kvn_EngineCore(Kvn_EngineData* engine) : engine_(engine) {}
Kvn_EngineCore::~Kvn_EngineCore() = default;

void* Kvn_EngineCore::CreateObject(GUID classGuid, int, int) {
  if (meshwerk::GuidEqual(classGuid, meshwerk::kFileLoaderClass)) return new KvnFileLoader();
  if (meshwerk::GuidEqual(classGuid, meshwerk::kFileSaverClass)) {
    engine_->savers.push_back(std::make_unique<KvnFileSaver>());
    return engine_->savers.back().get();
  }
  return nullptr;
}

Kvn_ValueChannel* Kvn_EngineCore::FindChannel(GUID typeGuid, const char* name) {
  if (name == nullptr || !meshwerk::GuidEqual(typeGuid, meshwerk::kValueChannelType)) return nullptr;
  for (const auto& channel : engine_->channels)
    if (strcmp(channel->GetChannelName(), name) == 0) return channel.get();
  return nullptr;
}

Kvn_EngineControl::Kvn_EngineControl() : data_(new Kvn_EngineData) {}
Kvn_EngineControl::~Kvn_EngineControl() { delete data_; }

void Kvn_EngineControl::Release(int how) {
  if (how == 1) delete this;
}

bool Kvn_EngineControl::StartEngine(void*, const char* product, void*) {
  data_->product = product ? product : "";
  data_->core = std::make_unique<Kvn_EngineCore>(data_);
  data_->started = true;
  return true;
}

Kvn_EngineCore* Kvn_EngineControl::GetEngineCore() { return data_->core.get(); }

int Kvn_EngineControl::StartProject() {
  data_->lastError = "no project runner in this engine build";
  return 1;
}

int Kvn_EngineControl::RunFrame() {
  ++data_->frames;
  return 0;
}

void Kvn_EngineControl::SetProjectFile(const char* file) { data_->projectFile = file ? file : ""; }
intptr_t Kvn_EngineControl::HandleMessage(void*, unsigned, uintptr_t, intptr_t) { return 0; }
void Kvn_EngineControl::SetProjectFolder(const char* folder) { data_->projectFolder = folder ? folder : ""; }
void Kvn_EngineControl::SetRegistryKey(const char* key) { data_->registryKey = key ? key : ""; }

bool Kvn_EngineControl::IsStarted() const { return data_->started; }
int Kvn_EngineControl::FramesRun() const { return data_->frames; }
const char* Kvn_EngineControl::LastError() const { return data_->lastError.c_str(); }

extern "C" Kvn_EngineControl* GetEngineControlInstance() { return new Kvn_EngineControl(); }
