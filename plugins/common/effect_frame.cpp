// The parts of the effect frame that do not depend on the effect's record.
#include "effect_frame.h"

#include <math.h>
#include <string.h>

#include "meshwerk/guid.h"

namespace kvc {

namespace {

float* FloatField(const Param& p, void* record) {
  return reinterpret_cast<float*>(static_cast<char*>(record) + p.offset);
}
uint32_t* IntegerField(const Param& p, void* record) {
  return reinterpret_cast<uint32_t*>(static_cast<char*>(record) + p.offset);
}

void CopyText(char* dst, size_t size, const char* src) {
  size_t n = strlen(src);
  if (n >= size) n = size - 1;
  memcpy(dst, src, n);
  dst[n] = '\0';
}

float Clamped(const Param& p, float v) {
  const double d = v;
  if (d < p.lo) return static_cast<float>(p.lo);
  if (d > p.hi) return static_cast<float>(p.hi);
  return v;
}

bool IsInteger(Rule rule) { return rule != Rule::kClamp && rule != Rule::kClampAlways; }

}  // namespace

uint32_t TruncateToLow32(float v) {
  const double d = v;
  // NaN fails both tests.
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return 0;
  const int64_t t = static_cast<int64_t>(d);
  return static_cast<uint32_t>(static_cast<uint64_t>(t));
}

void FillTypeRecord(ChannelType* record, const EffectInfo& info) {
  CopyText(record->name, sizeof record->name, info.channelName);
  record->typeGuid = info.typeGuid;
  record->classGuid = info.typeGuid;
  record->words[1] = 63;
  record->words[2] = 1;
  record->words[4] = 0;
}

void DeclareChannel(Kvn_Channel& channel, const EffectInfo& info) {
  channel.SetChannelName(info.channelName);
  ChildCreation record;
  channel.SetChildCreationCount(info.childCreationCount);
  const char* typeName = info.childTypeName != nullptr ? info.childTypeName : info.channelName;
  for (int i = 0; i < info.paramCount; ++i) {
    CopyText(record.type.name, sizeof record.type.name, typeName);
    record.type.typeGuid = meshwerk::kValueChannelType;
    record.index = i;
    record.hidden = false;
    CopyText(record.displayName, sizeof record.displayName, info.params[i].displayName);
    channel.SetChildCreateType(record, i);
  }
}

void StoreInitialValues(const EffectInfo& info, void* record) {
  for (int i = 0; i < info.paramCount; ++i) {
    const Param& p = info.params[i];
    bool ignored = false;
    if (p.rule == Rule::kChoice) {
      *IntegerField(p, record) = 1;  // anything but 0, so that 0 is stored
      SetFromInteger(p, record, 0, &ignored);
    } else if (IsInteger(p.rule)) {
      *IntegerField(p, record) = 1;
      SetFromFloat(p, record, 0.0f, &ignored);
    } else {
      *FloatField(p, record) = Clamped(p, 0.0f);
    }
  }
}

void SetFromFloat(const Param& p, void* record, float v, bool* changed) {
  switch (p.rule) {
    case Rule::kClamp: {
      float* field = FloatField(p, record);
      if (v == *field) return;
      *field = Clamped(p, v);
      *changed = true;
      return;
    }
    case Rule::kClampAlways:
      *FloatField(p, record) = Clamped(p, v);
      *changed = true;
      return;
    case Rule::kChoice:
      SetFromInteger(p, record, TruncateToLow32(v), changed);
      return;
    case Rule::kExactlyOne: {
      const uint32_t derived = v == 1.0f ? 1u : 0u;
      uint32_t* field = IntegerField(p, record);
      if (derived == *field) return;
      *field = derived;
      *changed = true;
      return;
    }
    case Rule::kTruncatedClampAlways: {
      // NaN has no integer value; it is taken as 0.
      const float taken = isnan(v) ? 0.0f : Clamped(p, v);
      *changed = true;
      *IntegerField(p, record) = static_cast<uint32_t>(taken);
      return;
    }
    case Rule::kAtLeastOneAlways:
      *changed = true;
      *IntegerField(p, record) = v >= 1.0f ? 1u : 0u;
      return;
  }
}

void SetFromInteger(const Param& p, void* record, uint32_t w, bool* changed) {
  if (p.rule != Rule::kChoice) {
    SetFromFloat(p, record, static_cast<float>(w), changed);
    return;
  }
  uint32_t* field = IntegerField(p, record);
  if (w == *field) return;
  *field = w <= static_cast<uint32_t>(p.hi) ? w : p.replacement;
  *changed = true;
}

void Refresh(Kvn_Channel& channel, const EffectInfo& info, void* record, bool* changed) {
  for (int i = 0; i < info.paramCount; ++i) {
    Kvn_Channel* child = channel.GetChild(i);
    if (child == nullptr) continue;
    // Every parameter child is a value channel.
    const float v = static_cast<Kvn_ValueChannel*>(child)->GetValue();
    SetFromFloat(info.params[i], record, v, changed);
  }
}

void ApplyEffect(BassStream* stream, const EffectInfo& info, const void* record) {
  uint32_t& slot = stream->*info.slot;
  if (slot != 0) {
    BASS_ChannelRemoveFX(stream->handle, slot);
    slot = 0;
  }
  slot = BASS_ChannelSetFX(stream->handle, info.fxType, 0);
  if (slot == 0) return;
  BASS_FXSetParameters(slot, record);
}

void WriteMarker(KvnFileSaver& saver) {
  const float marker = 1234.56f;  // bit pattern 449A51EC
  saver.SaveTag("XXXX");
  saver.SaveBlockSize(4);
  saver.SaveDataToFile(&marker, 4);
}

void ReadMarker(KvnFileLoader& loader) {
  char tag[] = "XXXX";
  if (!loader.GetInfoIfTag(tag)) return;
  // At most the 4 bytes the scratch word holds, whatever size the block has.
  uint32_t scratch = 0;
  loader.CopyTagData(&scratch, sizeof scratch);
}

}  // namespace kvc
