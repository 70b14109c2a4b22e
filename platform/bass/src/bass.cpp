// The audio-library stand-in: streams without sound that keep, per stream,
// the effects in place with their last parameters, the EAX mix, and a log
// of every call. Errors follow the published library's documentation.
#include <string.h>

#include <map>
#include <vector>

#include "bass/bass_probe.h"

namespace {

struct Stream {
  std::vector<HFX> effects;
  bool hasMix = false;
  float mix = 0.0f;
};

struct State {
  std::map<DWORD, Stream> streams;
  std::map<HFX, BassProbeEffect> effects;
  DWORD nextStream = 0x10000001;
  DWORD nextEffect = 0x20000001;
  DWORD callCount = 0;
  int failFunction = 0;
  int failError = 0;
  bool eaxAvailable = true;
  int env = -1;
  float vol = -1.0f, decay = -1.0f, damp = -1.0f;
};

// The log lives outside State so that a call never allocates for it.
BassProbeCall g_log[kBassProbeLogCapacity];

State& S() {
  static State state;
  return state;
}

thread_local int t_error = BASS_OK;

DWORD RecordSize(DWORD type) {
  switch (type) {
    case BASS_FX_DX8_CHORUS: return sizeof(BASS_DX8_CHORUS);
    case BASS_FX_DX8_COMPRESSOR: return sizeof(BASS_DX8_COMPRESSOR);
    case BASS_FX_DX8_DISTORTION: return sizeof(BASS_DX8_DISTORTION);
    case BASS_FX_DX8_ECHO: return sizeof(BASS_DX8_ECHO);
    case BASS_FX_DX8_FLANGER: return sizeof(BASS_DX8_FLANGER);
    case BASS_FX_DX8_GARGLE: return sizeof(BASS_DX8_GARGLE);
    case BASS_FX_DX8_I3DL2REVERB: return sizeof(BASS_DX8_I3DL2REVERB);
    case BASS_FX_DX8_PARAMEQ: return sizeof(BASS_DX8_PARAMEQ);
    case BASS_FX_DX8_REVERB: return sizeof(BASS_DX8_REVERB);
    default: return 0;
  }
}
static_assert(sizeof(BASS_DX8_I3DL2REVERB) <= kBassProbeParamBytes, "probe holds every record");

// Opens a log entry for a call; the caller fills the arguments.
BassProbeCall* Begin(int function) {
  State& s = S();
  BassProbeCall* call = nullptr;
  if (s.callCount < kBassProbeLogCapacity) {
    call = &g_log[s.callCount];
    memset(call, 0, sizeof *call);
    call->function = function;
  }
  ++s.callCount;
  return call;
}

// A failure the test asked for takes the place of the call's own work.
bool InjectedFailure(int function) {
  State& s = S();
  if (s.failFunction != function) return false;
  s.failFunction = 0;
  t_error = s.failError;
  return true;
}

DWORD Finish(BassProbeCall* call, DWORD result, int error) {
  t_error = error;
  if (call != nullptr) {
    call->result = result;
    call->error = error;
  }
  return result;
}

Stream* FindStream(DWORD handle) {
  auto it = S().streams.find(handle);
  return it == S().streams.end() ? nullptr : &it->second;
}

bool EaxValue(float v, float lo, float hi) { return v == -1.0f || (v >= lo && v <= hi); }

}  // namespace

extern "C" {

HSTREAM BASSDEF(BASS_StreamCreate)(DWORD freq, DWORD chans, DWORD flags, STREAMPROC*, void*) {
  BassProbeCall* call = Begin(kBassStreamCreate);
  if (call) {
    call->u[0] = freq;
    call->u[1] = chans;
    call->u[2] = flags;
  }
  if (InjectedFailure(kBassStreamCreate)) return Finish(call, 0, t_error);
  if (freq == 0 || chans == 0) return Finish(call, 0, BASS_ERROR_ILLPARAM);
  const HSTREAM h = S().nextStream++;
  S().streams[h] = Stream();
  return Finish(call, h, BASS_OK);
}

BOOL BASSDEF(BASS_StreamFree)(HSTREAM handle) {
  BassProbeCall* call = Begin(kBassStreamFree);
  if (call) call->u[0] = handle;
  if (InjectedFailure(kBassStreamFree)) return Finish(call, 0, t_error);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return Finish(call, 0, BASS_ERROR_HANDLE);
  for (HFX fx : stream->effects) S().effects.erase(fx);
  S().streams.erase(handle);
  return Finish(call, 1, BASS_OK);
}

HFX BASSDEF(BASS_ChannelSetFX)(DWORD handle, DWORD type, int priority) {
  BassProbeCall* call = Begin(kBassChannelSetFX);
  if (call) {
    call->u[0] = handle;
    call->u[1] = type;
    call->u[2] = static_cast<DWORD>(priority);
  }
  if (InjectedFailure(kBassChannelSetFX)) return Finish(call, 0, t_error);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return Finish(call, 0, BASS_ERROR_HANDLE);
  if (RecordSize(type) == 0) return Finish(call, 0, BASS_ERROR_ILLTYPE);
  const HFX fx = S().nextEffect++;
  BassProbeEffect effect;
  memset(&effect, 0, sizeof effect);
  effect.stream = handle;
  effect.type = type;
  effect.priority = priority;
  effect.paramSize = RecordSize(type);
  S().effects[fx] = effect;
  stream->effects.push_back(fx);
  return Finish(call, fx, BASS_OK);
}

BOOL BASSDEF(BASS_ChannelRemoveFX)(DWORD handle, HFX fx) {
  BassProbeCall* call = Begin(kBassChannelRemoveFX);
  if (call) {
    call->u[0] = handle;
    call->u[1] = fx;
  }
  if (InjectedFailure(kBassChannelRemoveFX)) return Finish(call, 0, t_error);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return Finish(call, 0, BASS_ERROR_HANDLE);
  for (size_t i = 0; i < stream->effects.size(); ++i) {
    if (stream->effects[i] == fx) {
      stream->effects.erase(stream->effects.begin() + static_cast<long>(i));
      S().effects.erase(fx);
      return Finish(call, 1, BASS_OK);
    }
  }
  return Finish(call, 0, BASS_ERROR_HANDLE);
}

BOOL BASSDEF(BASS_FXSetParameters)(HFX handle, const void* params) {
  BassProbeCall* call = Begin(kBassFXSetParameters);
  if (call) call->u[0] = handle;
  auto it = S().effects.find(handle);
  if (call && it != S().effects.end() && params != nullptr) {
    call->paramSize = it->second.paramSize;
    memcpy(call->params, params, it->second.paramSize);
  }
  if (InjectedFailure(kBassFXSetParameters)) return Finish(call, 0, t_error);
  if (it == S().effects.end()) return Finish(call, 0, BASS_ERROR_HANDLE);
  if (params == nullptr) return Finish(call, 0, BASS_ERROR_ILLPARAM);
  memcpy(it->second.params, params, it->second.paramSize);
  it->second.hasParams = 1;
  ++it->second.paramSets;
  return Finish(call, 1, BASS_OK);
}

BOOL BASSDEF(BASS_FXGetParameters)(HFX handle, void* params) {
  BassProbeCall* call = Begin(kBassFXGetParameters);
  if (call) call->u[0] = handle;
  if (InjectedFailure(kBassFXGetParameters)) return Finish(call, 0, t_error);
  auto it = S().effects.find(handle);
  if (it == S().effects.end()) return Finish(call, 0, BASS_ERROR_HANDLE);
  if (params == nullptr) return Finish(call, 0, BASS_ERROR_ILLPARAM);
  memcpy(params, it->second.params, it->second.paramSize);
  return Finish(call, 1, BASS_OK);
}

BOOL BASSDEF(BASS_ChannelSetEAXMix)(DWORD handle, float mix) {
  BassProbeCall* call = Begin(kBassChannelSetEAXMix);
  if (call) {
    call->u[0] = handle;
    call->f[0] = mix;
  }
  if (InjectedFailure(kBassChannelSetEAXMix)) return Finish(call, 0, t_error);
  if (!S().eaxAvailable) return Finish(call, 0, BASS_ERROR_NOEAX);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return Finish(call, 0, BASS_ERROR_HANDLE);
  if (!EaxValue(mix, 0.0f, 1.0f)) return Finish(call, 0, BASS_ERROR_ILLPARAM);
  stream->hasMix = true;
  stream->mix = mix;
  return Finish(call, 1, BASS_OK);
}

BOOL BASSDEF(BASS_SetEAXParameters)(int env, float vol, float decay, float damp) {
  BassProbeCall* call = Begin(kBassSetEAXParameters);
  if (call) {
    call->u[0] = static_cast<DWORD>(env);
    call->f[0] = vol;
    call->f[1] = decay;
    call->f[2] = damp;
  }
  if (InjectedFailure(kBassSetEAXParameters)) return Finish(call, 0, t_error);
  State& s = S();
  if (!s.eaxAvailable) return Finish(call, 0, BASS_ERROR_NOEAX);
  if (env < -1 || env > 25 || !EaxValue(vol, 0.0f, 1.0f) || !EaxValue(decay, 0.1f, 20.0f) ||
      !EaxValue(damp, 0.0f, 2.0f))
    return Finish(call, 0, BASS_ERROR_ILLPARAM);
  // -1 leaves a value as it is.
  if (env != -1) s.env = env;
  if (vol != -1.0f) s.vol = vol;
  if (decay != -1.0f) s.decay = decay;
  if (damp != -1.0f) s.damp = damp;
  return Finish(call, 1, BASS_OK);
}

int BASSDEF(BASS_ErrorGetCode)(void) {
  const int code = t_error;
  BassProbeCall* call = Begin(kBassErrorGetCode);
  if (call) {
    call->result = static_cast<DWORD>(code);
    call->error = code;
  }
  return code;  // asking does not change the code
}

void BassProbe_Reset(void) {
  S() = State();
  t_error = BASS_OK;
}

DWORD BassProbe_CallCount(void) { return S().callCount; }

BOOL BassProbe_GetCall(DWORD i, BassProbeCall* out) {
  if (out == nullptr || i >= S().callCount || i >= kBassProbeLogCapacity) return 0;
  *out = g_log[i];
  return 1;
}

void BassProbe_FailNext(int function, int error) {
  S().failFunction = function;
  S().failError = error;
}

DWORD BassProbe_EffectCount(DWORD stream) {
  Stream* s = FindStream(stream);
  return s ? static_cast<DWORD>(s->effects.size()) : 0;
}

HFX BassProbe_EffectAt(DWORD stream, DWORD i) {
  Stream* s = FindStream(stream);
  return (s && i < s->effects.size()) ? s->effects[i] : 0;
}

BOOL BassProbe_GetEffect(HFX fx, BassProbeEffect* out) {
  auto it = S().effects.find(fx);
  if (it == S().effects.end() || out == nullptr) return 0;
  *out = it->second;
  return 1;
}

void BassProbe_SetEAXAvailable(BOOL available) { S().eaxAvailable = available != 0; }

BOOL BassProbe_GetEAXMix(DWORD stream, float* mix) {
  Stream* s = FindStream(stream);
  if (s == nullptr || !s->hasMix || mix == nullptr) return 0;
  *mix = s->mix;
  return 1;
}

BOOL BassProbe_GetEAXParameters(int* env, float* vol, float* decay, float* damp) {
  const State& s = S();
  if (env) *env = s.env;
  if (vol) *vol = s.vol;
  if (decay) *decay = s.decay;
  if (damp) *damp = s.damp;
  return s.env != -1;
}

void BassProbe_SetErrorCode(int code) { t_error = code; }

}  // extern "C"
