// What the audio-library stand-in lets tests and the engine see: every call
// made, the effects in place on each stream, the EAX state, and a way to
// make a chosen call fail. Not part of the published library.
#pragma once

#include "bass/bass_api.h"

#ifdef __cplusplus
extern "C" {
#endif

enum BassProbeFunction {
  kBassStreamCreate = 1,
  kBassStreamFree,
  kBassChannelSetFX,
  kBassChannelRemoveFX,
  kBassFXSetParameters,
  kBassFXGetParameters,
  kBassChannelSetEAXMix,
  kBassSetEAXParameters,
  kBassErrorGetCode
};

enum { kBassProbeParamBytes = 64, kBassProbeLogCapacity = 65536 };

// One recorded call. Arguments in call order: handles and integers in
// u[], floats in f[]; for BASS_FXSetParameters the record's bytes (as many
// as the effect's type has) in params.
typedef struct {
  int function;
  DWORD u[3];
  float f[4];
  unsigned char params[kBassProbeParamBytes];
  DWORD paramSize;
  DWORD result;
  int error;  // the code BASS_ErrorGetCode gives after the call
} BassProbeCall;

typedef struct {
  DWORD stream;
  DWORD type;
  int priority;
  int hasParams;
  unsigned char params[kBassProbeParamBytes];
  DWORD paramSize;
  DWORD paramSets;  // successful BASS_FXSetParameters calls
} BassProbeEffect;

// Forgets streams, effects, calls, failures and EAX state; EAX available.
BASS_API void BassProbe_Reset(void);
// Calls made since the last reset (all of them, also beyond the log's capacity).
BASS_API DWORD BassProbe_CallCount(void);
// Copies call i (0 = oldest) into out; false when it is not in the log.
BASS_API BOOL BassProbe_GetCall(DWORD i, BassProbeCall* out);
// The next call of function fails with error instead of doing its work.
BASS_API void BassProbe_FailNext(int function, int error);
// The effects in place on stream, oldest first.
BASS_API DWORD BassProbe_EffectCount(DWORD stream);
BASS_API HFX BassProbe_EffectAt(DWORD stream, DWORD i);
BASS_API BOOL BassProbe_GetEffect(HFX fx, BassProbeEffect* out);
// EAX: availability, the stream's mix (false when never set), the environment.
BASS_API void BassProbe_SetEAXAvailable(BOOL available);
BASS_API BOOL BassProbe_GetEAXMix(DWORD stream, float* mix);
BASS_API BOOL BassProbe_GetEAXParameters(int* env, float* vol, float* decay, float* damp);
// Sets the thread's current error code as a failed earlier call would.
BASS_API void BassProbe_SetErrorCode(int code);

#ifdef __cplusplus
}
#endif
