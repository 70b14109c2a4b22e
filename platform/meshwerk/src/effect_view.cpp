#include "meshwerk/effect_view.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

namespace meshwerk {
namespace {

enum class Kind { kFloat, kUnsigned, kInt };

struct Field {
  const char* name;
  size_t offset;
  Kind kind;
};

#define F(record, member, name) {name, offsetof(record, member), Kind::kFloat}
#define U(record, member, name) {name, offsetof(record, member), Kind::kUnsigned}
#define I(record, member, name) {name, offsetof(record, member), Kind::kInt}

const Field kChorus[] = {F(BASS_DX8_CHORUS, fWetDryMix, "mix"),  F(BASS_DX8_CHORUS, fDepth, "depth"),
                         F(BASS_DX8_CHORUS, fFeedback, "feedback"), F(BASS_DX8_CHORUS, fFrequency, "freq"),
                         U(BASS_DX8_CHORUS, lWaveform, "wave"),   F(BASS_DX8_CHORUS, fDelay, "delay"),
                         U(BASS_DX8_CHORUS, lPhase, "phase")};
const Field kCompressor[] = {F(BASS_DX8_COMPRESSOR, fGain, "gain"),         F(BASS_DX8_COMPRESSOR, fAttack, "attack"),
                             F(BASS_DX8_COMPRESSOR, fRelease, "release"),   F(BASS_DX8_COMPRESSOR, fThreshold, "threshold"),
                             F(BASS_DX8_COMPRESSOR, fRatio, "ratio"),       F(BASS_DX8_COMPRESSOR, fPredelay, "predelay")};
const Field kDistortion[] = {F(BASS_DX8_DISTORTION, fGain, "gain"), F(BASS_DX8_DISTORTION, fEdge, "edge"),
                             F(BASS_DX8_DISTORTION, fPostEQCenterFrequency, "center"),
                             F(BASS_DX8_DISTORTION, fPostEQBandwidth, "bandwidth"),
                             F(BASS_DX8_DISTORTION, fPreLowpassCutoff, "lowpass")};
const Field kEcho[] = {F(BASS_DX8_ECHO, fWetDryMix, "mix"), F(BASS_DX8_ECHO, fFeedback, "feedback"),
                       F(BASS_DX8_ECHO, fLeftDelay, "left"), F(BASS_DX8_ECHO, fRightDelay, "right"),
                       I(BASS_DX8_ECHO, lPanDelay, "pan")};
const Field kFlanger[] = {F(BASS_DX8_FLANGER, fWetDryMix, "mix"),  F(BASS_DX8_FLANGER, fDepth, "depth"),
                          F(BASS_DX8_FLANGER, fFeedback, "feedback"), F(BASS_DX8_FLANGER, fFrequency, "freq"),
                          U(BASS_DX8_FLANGER, lWaveform, "wave"),   F(BASS_DX8_FLANGER, fDelay, "delay"),
                          U(BASS_DX8_FLANGER, lPhase, "phase")};
const Field kGargle[] = {U(BASS_DX8_GARGLE, dwRateHz, "rate"), U(BASS_DX8_GARGLE, dwWaveShape, "shape")};
const Field kI3dl2[] = {I(BASS_DX8_I3DL2REVERB, lRoom, "room"),
                        I(BASS_DX8_I3DL2REVERB, lRoomHF, "roomHF"),
                        F(BASS_DX8_I3DL2REVERB, flRoomRolloffFactor, "rolloff"),
                        F(BASS_DX8_I3DL2REVERB, flDecayTime, "decay"),
                        F(BASS_DX8_I3DL2REVERB, flDecayHFRatio, "decayHF"),
                        I(BASS_DX8_I3DL2REVERB, lReflections, "reflections"),
                        F(BASS_DX8_I3DL2REVERB, flReflectionsDelay, "reflDelay"),
                        I(BASS_DX8_I3DL2REVERB, lReverb, "reverb"),
                        F(BASS_DX8_I3DL2REVERB, flReverbDelay, "revDelay"),
                        F(BASS_DX8_I3DL2REVERB, flDiffusion, "diffusion"),
                        F(BASS_DX8_I3DL2REVERB, flDensity, "density"),
                        F(BASS_DX8_I3DL2REVERB, flHFReference, "hfRef")};
const Field kParamEq[] = {F(BASS_DX8_PARAMEQ, fCenter, "center"), F(BASS_DX8_PARAMEQ, fBandwidth, "bandwidth"),
                          F(BASS_DX8_PARAMEQ, fGain, "gain")};
const Field kReverb[] = {F(BASS_DX8_REVERB, fInGain, "gain"), F(BASS_DX8_REVERB, fReverbMix, "mix"),
                         F(BASS_DX8_REVERB, fReverbTime, "time"), F(BASS_DX8_REVERB, fHighFreqRTRatio, "hfRatio")};

#undef F
#undef U
#undef I

struct TypeInfo {
  const char* name;
  const Field* fields;
  size_t count;
  size_t size;
};

#define T(name, table, record) {name, table, sizeof table / sizeof table[0], sizeof(record)}
const TypeInfo kTypes[] = {
    T("Chorus", kChorus, BASS_DX8_CHORUS),         T("Compressor", kCompressor, BASS_DX8_COMPRESSOR),
    T("Distortion", kDistortion, BASS_DX8_DISTORTION), T("Echo", kEcho, BASS_DX8_ECHO),
    T("Flanger", kFlanger, BASS_DX8_FLANGER),       T("Gargle", kGargle, BASS_DX8_GARGLE),
    T("I3DL2Reverb", kI3dl2, BASS_DX8_I3DL2REVERB), T("ParamEQ", kParamEq, BASS_DX8_PARAMEQ),
    T("Reverb", kReverb, BASS_DX8_REVERB),
};
#undef T

const TypeInfo* Info(DWORD type) { return type < sizeof kTypes / sizeof kTypes[0] ? &kTypes[type] : nullptr; }

std::string Number(double value) {
  char text[48];
  snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

const char* EffectTypeName(DWORD type) {
  if (type == kEaxType) return "EAX";
  const TypeInfo* info = Info(type);
  return info ? info->name : "";
}

std::string DescribeEffect(DWORD type, const unsigned char* params, DWORD size) {
  const TypeInfo* info = Info(type);
  if (info == nullptr || params == nullptr || size < info->size) return "";
  std::string text;
  for (size_t i = 0; i < info->count; ++i) {
    const Field& f = info->fields[i];
    double value = 0;
    if (f.kind == Kind::kFloat) {
      float v;
      memcpy(&v, params + f.offset, sizeof v);
      value = v;
    } else if (f.kind == Kind::kUnsigned) {
      DWORD v;
      memcpy(&v, params + f.offset, sizeof v);
      value = v;
    } else {
      int v;
      memcpy(&v, params + f.offset, sizeof v);
      value = v;
    }
    if (!text.empty()) text += ' ';
    text += std::string(f.name) + "=" + Number(value);
  }
  return text;
}

AppliedEffect& EffectView::Entry(DWORD stream, DWORD type) {
  for (AppliedEffect& e : effects_)
    if (e.stream == stream && e.type == type) return e;
  effects_.push_back(AppliedEffect{stream, type, 0, ""});
  return effects_.back();
}

std::vector<const AppliedEffect*> EffectView::Update() {
  std::vector<int> before;
  for (const AppliedEffect& e : effects_) before.push_back(e.count);
  const DWORD total = BassProbe_CallCount();
  for (; seen_ < total; ++seen_) {
    BassProbeCall call;
    if (!BassProbe_GetCall(seen_, &call)) continue;  // beyond the record's capacity
    if (call.error != 0) continue;
    if (call.function == kBassChannelSetFX && call.result != 0) {
      fx_[call.result] = {call.u[0], call.u[1]};
    } else if (call.function == kBassFXSetParameters) {
      auto it = fx_.find(call.u[0]);
      if (it == fx_.end()) continue;
      AppliedEffect& e = Entry(it->second.first, it->second.second);
      ++e.count;
      e.parameters = DescribeEffect(e.type, call.params, call.paramSize);
    } else if (call.function == kBassChannelSetEAXMix) {
      eaxStream_ = call.u[0];
      eaxMix_ = call.f[0];
      eaxMixSet_ = true;
    } else if (call.function == kBassSetEAXParameters) {
      AppliedEffect& e = Entry(eaxStream_, kEaxType);
      ++e.count;
      e.parameters = "env=" + Number(static_cast<int>(call.u[0])) + " vol=" + Number(call.f[0]) +
                     " decay=" + Number(call.f[1]) + " damp=" + Number(call.f[2]);
      if (eaxMixSet_) e.parameters += " mix=" + Number(eaxMix_);
    }
  }
  std::vector<const AppliedEffect*> result;
  for (size_t i = 0; i < effects_.size(); ++i)
    if (i >= before.size() || effects_[i].count != before[i]) result.push_back(&effects_[i]);
  return result;
}

void EffectView::Clear() {
  seen_ = BassProbe_CallCount();
  fx_.clear();
  effects_.clear();
  eaxMixSet_ = false;
}

}  // namespace meshwerk
