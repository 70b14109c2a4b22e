// Runs under Wine: loads each effect library by its file name as the engine
// does, and drives its channel through the exports and the table of virtual
// operations, against our meshwerk.dll and bass.dll. Prints "N passed, M failed".
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "bass/bass_probe.h"
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
  uint32_t BassStream::*slot;
  int children;
  float inRange;  // a child value inside every parameter's range
};

const Plugin kPlugins[] = {
    {"5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614.dll", "EchoStream", BASS_FX_DX8_ECHO, &BassStream::echo, 5, 1.0f},
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
  Kvn_ValueChannel* values[16];
  for (int i = 0; i < p.children; ++i) {
    values[i] = new Kvn_ValueChannel(p.inRange);
    channel->LinkChild(i, values[i]);
  }
  StreamOpFn streamOp = reinterpret_cast<StreamOpFn>(TableEntry(channel, kStreamOperationSlot));
  HasChangedFn hasChanged = reinterpret_cast<HasChangedFn>(TableEntry(channel, kHasChangedSlot));
  streamOp(channel, &stream);
  BassProbeEffect effect;
  Check(stream.*p.slot != 0 && BassProbe_GetEffect(stream.*p.slot, &effect) && effect.type == p.fxType &&
            effect.paramSets == 1,
        p.file, "effect in its own slot with parameters");
  Check(!hasChanged(channel), p.file, "flag cleared by the stream operation");
  const DWORD calls = BassProbe_CallCount();
  streamOp(channel, &stream);
  Check(BassProbe_CallCount() == calls, p.file, "unchanged children: no audio-library call");
  values[0]->SetValue(1.0e6f);  // above every range
  streamOp(channel, &stream);
  Check(BassProbe_CallCount() == calls + 3, p.file, "out of range: remove, set, parameters");

  KvnFileSaver saver;
  saver.OpenInMemory();
  Check(channel->SaveChannel(saver), p.file, "SaveChannel");
  KvnFileLoader loader;
  Check(loader.OpenMemory(saver.MemoryData(), saver.MemorySize()), p.file, "saved block reads back");
  char tag[] = "XXXX";
  unsigned char marker[4] = {0, 0, 0, 0};
  Check(loader.GetInfoIfTag(tag) && loader.CopyTagData(marker, 4) == 4 && marker[0] == 0xEC && marker[1] == 0x51 &&
            marker[2] == 0x9A && marker[3] == 0x44,
        p.file, "marker bytes EC 51 9A 44");
  Kvn_Channel* loaded = initDll();
  loader.LeaveChannel();
  Check(loaded->LoadChannel(loader, nullptr), p.file, "LoadChannel");

  delete loaded;   // virtual destructors: freed by the library's allocator
  delete channel;
  for (int i = 0; i < p.children; ++i) delete values[i];
}

}  // namespace

int main() {
  for (const Plugin& p : kPlugins) Exercise(p);
  printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
