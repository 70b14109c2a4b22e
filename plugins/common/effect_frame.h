// The frame every effect plug-in is built on.
//
// To add an effect:
//  1. In plugins/<effect>/, declare the channel class as
//       class KVC_EXPORT Kvc_FooStream : public kvc::EffectChannel<Kvc_FooStream, BASS_DX8_FOO>
//     with `static const kvc::EffectInfo kInfo;`, the four special members,
//     the stream operation (virtual, `ApplyToStream(stream)` is its body),
//     `RefreshParms` and one named setter per parameter, each a one-liner
//     forwarding to SetParam / SetParamInteger with its row.
//  2. Write the parameter table: one kvc::Param row per child, in child
//     order, naming the record member it fills, its display name, its rule
//     and bounds. The record's members are the channel's parameter fields.
//  3. Define kInfo (channel name, type GUID, effect type, stream slot,
//     table) and end the file with KVC_PLUGIN_EXPORTS(Kvc_FooStream).
//  4. Add the folder to plugins/CMakeLists.txt with its GUID.
// Everything else (exports, type record, child slots, refresh, change flag,
// applying the effect to its slot, the "XXXX" marker block) lives here.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "bass/bass_api.h"
#include "meshwerk/channel.h"
#include "meshwerk/file.h"

#if defined(_WIN32)
#  define KVC_EXPORT __declspec(dllexport)
#else
#  define KVC_EXPORT __attribute__((visibility("default")))
#endif

namespace kvc {

// How a setter turns the child's value into the stored one.
enum class Rule {
  // Float clamped to [lo, hi]. Change test: the incoming value against the
  // stored (clamped) one, so an out-of-range child counts as a change at
  // every refresh. Bounds are compared in double precision and stored as
  // the float nearest to them.
  kClamp,
  // As kClamp without the change test: every call stores and raises the flag.
  kClampAlways,
  // Integer: RefreshParms truncates the float (TruncateToLow32); 0..hi stay,
  // every other value becomes `replacement`. Change test on the incoming
  // integer.
  kChoice,
  // Integer from the float: 1 when the value is exactly 1.0, else 0.
  // Change test on the derived value.
  kExactlyOne,
  // Integer from the float: clamped to [lo, hi], then truncated toward zero.
  // No change test.
  kTruncatedClampAlways,
  // Integer from the float: 1 when the value is 1 or more, else 0.
  // No change test.
  kAtLeastOneAlways,
};

struct Param {
  const char* displayName;  // exact text shown for the child slot
  Rule rule;
  size_t offset;            // of the record member this parameter fills
  double lo;
  double hi;
  uint32_t replacement;     // kChoice only
};

struct EffectInfo {
  const char* channelName;
  GUID typeGuid;
  DWORD fxType;
  uint32_t BassStream::*slot;
  const Param* params;
  int paramCount;
  const char* childTypeName;  // null: the channel name
  int childCreationCount;     // passed to SetChildCreationCount
};

// The number of rows of a parameter table.
template <size_t N>
constexpr int CountOf(const Param (&)[N]) {
  return static_cast<int>(N);
}

// The float truncated toward zero to 64 bits, low 32 bits kept; 0 for NaN
// or a magnitude too large for 64 bits. -1.0 gives 4294967295.
uint32_t TruncateToLow32(float v);

// Fills the library's type record as GetType hands it out.
void FillTypeRecord(ChannelType* record, const EffectInfo& info);
// Construction steps after the base: name, one child-slot record per parameter.
void DeclareChannel(Kvn_Channel& channel, const EffectInfo& info);
// What a field holds before its child is first seen: the value its setter
// stores for 0.
void StoreInitialValues(const EffectInfo& info, void* record);
// The setters; each updates *changed as its rule says.
void SetFromFloat(const Param& p, void* record, float v, bool* changed);
void SetFromInteger(const Param& p, void* record, uint32_t w, bool* changed);
// Visits the children in order: present ones go to their setters.
void Refresh(Kvn_Channel& channel, const EffectInfo& info, void* record, bool* changed);
// Remove, set, parameters: the effect of info.fxType in its slot anew.
void ApplyEffect(BassStream* stream, const EffectInfo& info, const void* record);
// The "XXXX" block holding the float nearest 1234.56 (bytes EC 51 9A 44).
void WriteMarker(KvnFileSaver& saver);
// Reads the marker block if present; its value is dropped.
void ReadMarker(KvnFileLoader& loader);

template <class Channel, class Record>
class EffectChannel : public Kvn_Channel {
 public:
  EffectChannel() {
    const EffectInfo& info = Channel::kInfo;
    DeclareChannel(*this, info);
    StoreInitialValues(info, &fields_);
  }
  EffectChannel(const EffectChannel&) = default;
  EffectChannel& operator=(const EffectChannel&) = default;
  ~EffectChannel() override = default;

  void CallChannel() override {}
  bool SaveChannel(KvnFileSaver& saver) override {
    if (!Kvn_Channel::SaveChannel(saver)) return false;
    WriteMarker(saver);
    return true;
  }
  bool LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group) override {
    if (!Kvn_Channel::LoadChannel(loader, group)) return false;
    ReadMarker(loader);
    return true;
  }
  void DoDependencyInit(Kvn_List* list) override { AddDLLDepend("bass.dll", list); }

  // Returns the change flag and clears it.
  virtual bool hasChanged() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
  }

  // Read-only views for the engine's inspector and for tests.
  const Record& Parameters() const { return fields_; }
  bool ChangePending() const { return changed_; }

 protected:
  void RefreshAll() { Refresh(*this, Channel::kInfo, &fields_, &changed_); }
  void SetParam(int row, float v) { SetFromFloat(Channel::kInfo.params[row], &fields_, v, &changed_); }
  void SetParamInteger(int row, uint32_t w) { SetFromInteger(Channel::kInfo.params[row], &fields_, w, &changed_); }
  // The stream operation: refresh, and on a change put the effect anew.
  void ApplyToStream(BassStream* stream) {
    RefreshAll();  // what the channel's RefreshParms runs
    if (!this->hasChanged()) return;
    const Record record = fields_;
    ApplyEffect(stream, Channel::kInfo, &record);
  }

  Record fields_;
  bool changed_ = true;  // the first stream operation applies the effect
};

}  // namespace kvc

// The two plain-name exports of an effect library. The type record is
// constructed when the library loads; GetType fills it.
#define KVC_PLUGIN_EXPORTS(ChannelClass)                                       \
  static ChannelType g_kvcTypeRecord;                                          \
  extern "C" KVC_EXPORT ChannelType* GetType() {                               \
    kvc::FillTypeRecord(&g_kvcTypeRecord, ChannelClass::kInfo);                \
    return &g_kvcTypeRecord;                                                   \
  }                                                                            \
  extern "C" KVC_EXPORT Kvn_Channel* InitDLL() { return new ChannelClass(); }
