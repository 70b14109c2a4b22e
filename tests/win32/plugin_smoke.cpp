// Runs under Wine: loads each effect library by its file name as the engine
// does, and drives its channel through the exports and the table of virtual
// operations, against our meshwerk.dll and bass.dll; then runs a project in
// the engine and the saver settings through the engine's file objects, as
// the host reaches them. Prints "N passed, M failed".
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "bass/bass_probe.h"
#include "host/engine/engine.h"
#include "host/settings/saver_settings.h"
#include "host/system/win32_platform.h"
#include "meshwerk/engine.h"
#include "meshwerk/channel.h"
#include "meshwerk/file.h"

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* plugin, const char* what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    printf("FAILED %s: %s\n", plugin, what);
  }
}

struct Plugin {
  const char* file;
  const char* channelName;
  DWORD fxType;
  uint32_t BassStream::*slot;  // null: the EAX channel, no effect slot
  int children;
  float baseline[8];           // child values inside every range
  const char* tag;             // the channel's own saved block
  DWORD callsUnchanged;        // audio-library calls with unchanged children
  DWORD callsOutOfRange;       // ... with child 0 far out of its range
};

const Plugin kPlugins[] = {
    {"5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614.dll", "EchoStream", BASS_FX_DX8_ECHO, &BassStream::echo, 5,
     {50, 50, 100, 100, 0}, "XXXX", 0, 3},
    {"71D4E2A9-0C56-4B8F-9A3E-D2F81C6B0357.dll", "ChorusStream", BASS_FX_DX8_CHORUS, &BassStream::chorus, 7,
     {50, 50, 0, 5, 1, 10, 2}, "XXXX", 0, 3},
    {"A05E9C36-4D1B-4E72-8C69-1B7D3F24E8A0.dll", "FlangerStream", BASS_FX_DX8_FLANGER, &BassStream::flanger, 7,
     {50, 50, 0, 5, 1, 2, 2}, "XXXX", 0, 3},
    {"2C8B5F13-E7A4-4690-B1D5-8E3F06A92C71.dll", "DistorsionStream", BASS_FX_DX8_DISTORTION, &BassStream::distortion,
     5, {-30, 50, 1000, 1000, 1000}, "XXXX", 0, 3},
    {"E49C0B72-5A1D-4F83-A6E2-7B30C95D1F48.dll", "CompressorStream", BASS_FX_DX8_COMPRESSOR, &BassStream::compressor,
     6, {0, 10, 200, -20, 3, 2}, "XXXX", 0, 3},
    {"1F7D3E95-C248-4B0A-9D71-6E5A20B8C3F9.dll", "GargleStream", BASS_FX_DX8_GARGLE, &BassStream::gargle, 2, {20, 0},
     "XXXX", 3, 3},
    {"8B31F6D0-7E29-4C54-A0B8-F4D26E913C57.dll", "ReverbStream", BASS_FX_DX8_REVERB, &BassStream::reverb, 4,
     {-10, -10, 1000, 0.5f}, "XXXX", 0, 3},
    {"C76E2D1B-0F84-4A39-B5C2-9A18E7F40D63.dll", "ParamEQStream", BASS_FX_DX8_PARAMEQ, &BassStream::parameq, 3,
     {1000, 10, 0}, "XXXX", 3, 3},
    // Index 1e6 is no preset: the mix is set, then the error code is asked for.
    {"6D2A71F8-93C0-4A5B-BE47-05C9D81F3A26.dll", "EAXStream", 0, nullptr, 1, {8}, "EAXE", 2, 2},
};

typedef ChannelType* (*GetTypeFn)();
typedef Kvn_Channel* (*InitDllFn)();
typedef bool(__attribute__((thiscall)) * HasChangedFn)(Kvn_Channel*);
typedef void(__attribute__((thiscall)) * StreamOpFn)(Kvn_Channel*, BassStream*);

// After the destructor's two entries and the seventeen other base operations.
const int kHasChangedSlot = 19;
const int kStreamOperationSlot = 20;

void* TableEntry(Kvn_Channel* channel, int slot) { return (*reinterpret_cast<void***>(channel))[slot]; }

void Exercise(const Plugin& p) {
  HMODULE module = LoadLibraryA(p.file);
  Check(module != nullptr, p.file, "LoadLibrary by file name");
  if (module == nullptr) return;
  GetTypeFn getType = reinterpret_cast<GetTypeFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetType")));
  InitDllFn initDll = reinterpret_cast<InitDllFn>(reinterpret_cast<void*>(GetProcAddress(module, "InitDLL")));
  Check(getType && initDll, p.file, "GetType and InitDLL by plain name");
  if (!getType || !initDll) return;

  ChannelType* record = getType();
  Check(strcmp(record->name, p.channelName) == 0, p.file, "type record name");
  Check(record->words[1] == 63 && record->words[2] == 1 && record->words[4] == 0, p.file, "type record words");

  Kvn_Channel* channel = initDll();
  Check(channel->GetChildSlotCount() == p.children, p.file, "child slot count");
  Kvn_List deps;
  channel->DoDependencyInit(&deps);
  Check(deps.Count() == 1 && strcmp(deps.Item(0), "bass.dll") == 0, p.file, "depends on bass.dll");

  BassProbe_Reset();
  BassStream stream;
  memset(&stream, 0, sizeof stream);
  stream.handle = BASS_StreamCreate(44100, 2, 0, nullptr, nullptr);
  Kvn_ValueChannel* values[8];
  for (int i = 0; i < p.children; ++i) {
    values[i] = new Kvn_ValueChannel(p.baseline[i]);
    channel->LinkChild(i, values[i]);
  }
  StreamOpFn streamOp = reinterpret_cast<StreamOpFn>(TableEntry(channel, kStreamOperationSlot));
  HasChangedFn hasChanged = reinterpret_cast<HasChangedFn>(TableEntry(channel, kHasChangedSlot));
  streamOp(channel, &stream);
  if (p.slot != nullptr) {
    BassProbeEffect effect;
    Check(stream.*p.slot != 0 && BassProbe_GetEffect(stream.*p.slot, &effect) && effect.type == p.fxType &&
              effect.paramSets == 1,
          p.file, "effect in its own slot with parameters");
  } else {
    float mix = 0;
    int env = 0;
    Check(BassProbe_GetEAXMix(stream.handle, &mix) && mix == 1.0f, p.file, "EAX mix 1.0 on the stream");
    Check(BassProbe_GetEAXParameters(&env, nullptr, nullptr, nullptr) && env == 8, p.file, "EAX environment 8");
  }
  Check(!hasChanged(channel), p.file, "flag cleared by the stream operation");
  DWORD calls = BassProbe_CallCount();
  streamOp(channel, &stream);
  Check(BassProbe_CallCount() - calls == p.callsUnchanged, p.file, "calls with unchanged children");
  values[0]->SetValue(1.0e6f);  // above every range
  calls = BassProbe_CallCount();
  streamOp(channel, &stream);
  Check(BassProbe_CallCount() - calls == p.callsOutOfRange, p.file, "calls with a child out of range");

  KvnFileSaver saver;
  saver.OpenInMemory();
  Check(channel->SaveChannel(saver), p.file, "SaveChannel");
  KvnFileLoader loader;
  Check(loader.OpenMemory(saver.MemoryData(), saver.MemorySize()), p.file, "saved block reads back");
  char tag[5];
  memcpy(tag, p.tag, 5);
  Check(loader.GetInfoIfTag(tag) && loader.GetTagDataSize() == 4, p.file, "own block of 4 bytes");
  if (p.slot != nullptr) {
    unsigned char marker[4] = {0, 0, 0, 0};
    loader.CopyTagData(marker, 4);
    Check(marker[0] == 0xEC && marker[1] == 0x51 && marker[2] == 0x9A && marker[3] == 0x44, p.file,
          "marker bytes EC 51 9A 44");
  }
  Kvn_Channel* loaded = initDll();
  loader.LeaveChannel();
  Check(loaded->LoadChannel(loader, nullptr), p.file, "LoadChannel");

  delete loaded;   // virtual destructors: freed by the library's allocator
  delete channel;
  for (int i = 0; i < p.children; ++i) delete values[i];
}

std::string TempFolder() {
  char folder[MAX_PATH + 1];
  GetTempPathA(sizeof folder, folder);
  std::string path = std::string(folder) + "engine_smoke";
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

// The engine through the host's view of its tables: a project whose effects
// run every frame (the stream operation called by the engine in 32 bits).
void RunProject() {
  const std::string folder = TempFolder();
  FILE* f = fopen((folder + "\\project.mwp").c_str(), "w");
  fputs("value LumoSaver 0\nvalue Mix 50 sine 40 0.05\nstream Music\n"
        "effect 5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614 Music Mix 30 100 100 0\n"
        "effect 1F7D3E95-C248-4B0A-9D71-6E5A20B8C3F9 Music 20 1\n",
        f);
  fclose(f);
  BassProbe_Reset();
  engine::EngineControl* control = reinterpret_cast<engine::EngineControl*>(GetEngineControlInstance());
  control->SetProjectFolder(folder.c_str());
  Check(control->StartEngine(GetModuleHandleA(nullptr), "Lumora", nullptr), "engine", "StartEngine");
  control->SetProjectFile("project.mwp");
  engine::EngineCore* core = control->GetEngineCore();
  engine::ValueChannel* flag = core->FindChannel(engine::kValueChannelType, "LumoSaver");
  Check(flag != nullptr, "engine", "FindChannel LumoSaver");
  if (flag) flag->SetValue(1.0f);
  Check(flag && flag->GetValue() == 1.0f, "engine", "SetValue through the value channel's table");
  Check(control->StartProject() == 0, "engine", "StartProject");
  for (int i = 0; i < 3; ++i) {
    control->RunFrame();
    Sleep(20);
  }
  Kvn_EngineControl* own = reinterpret_cast<Kvn_EngineControl*>(control);
  BassStream* stream = own->StreamOf(0);
  BassProbeEffect effect;
  Check(stream && BassProbe_GetEffect(stream->echo, &effect) && BassProbe_GetEffect(stream->gargle, &effect),
        "engine", "echo and gargle on the project's stream");
  int gargleSets = 0;
  for (DWORD i = 0; i < BassProbe_CallCount(); ++i) {
    BassProbeCall call;
    if (BassProbe_GetCall(i, &call) && call.function == kBassChannelSetFX && call.u[1] == BASS_FX_DX8_GARGLE) ++gargleSets;
  }
  Check(gargleSets == 3, "engine", "the gargle re-applied at each of three frames");

  // The saver settings through the engine's loader and saver objects.
  saver::Win32Platform platform;
  saver::SaverSettings written, read;
  for (saver::SaverSettings* s : {&written, &read}) {
    s->UsePlatform(&platform);
    s->SetProjectFolder(folder.c_str());
    s->SetEngineCore(core);
  }
  written.Load();
  written.Save();  // interval 0, flags 0, empty project file
  read.Load();
  Check(read.GetFrameInterval() == 0 && read.IsPreviewEnabled() == 0, "settings", "screensaver.cfg round trip");
  control->Release(1);
  DeleteFileA((folder + "\\screensaver.cfg").c_str());
  DeleteFileA((folder + "\\project.mwp").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main() {
  for (const Plugin& p : kPlugins) Exercise(p);
  RunProject();
  printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
