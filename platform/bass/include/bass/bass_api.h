// The audio library's functions, types and values that the plug-ins and the
// engine use, with the published calling convention and record layouts.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#  include <windows.h>
#  define BASSDEF(f) WINAPI f
#  if defined(BASS_BUILD)
#    define BASS_API __declspec(dllexport)
#  else
#    define BASS_API __declspec(dllimport)
#  endif
#else
typedef uint32_t DWORD;
typedef int BOOL;
#  define BASSDEF(f) f
#  define BASS_API __attribute__((visibility("default")))
#endif

typedef DWORD HSTREAM;  // sample stream handle
typedef DWORD HFX;      // effect handle

// Error codes (BASS_ErrorGetCode).
enum {
  BASS_OK = 0,
  BASS_ERROR_MEM = 1,
  BASS_ERROR_INIT = 8,
  BASS_ERROR_HANDLE = 5,
  BASS_ERROR_ILLTYPE = 19,
  BASS_ERROR_ILLPARAM = 20,
  BASS_ERROR_NOEAX = 22,
  BASS_ERROR_NOFX = 34,
  BASS_ERROR_UNKNOWN = -1
};

// DX8 effect types (BASS_ChannelSetFX).
enum {
  BASS_FX_DX8_CHORUS = 0,
  BASS_FX_DX8_COMPRESSOR = 1,
  BASS_FX_DX8_DISTORTION = 2,
  BASS_FX_DX8_ECHO = 3,
  BASS_FX_DX8_FLANGER = 4,
  BASS_FX_DX8_GARGLE = 5,
  BASS_FX_DX8_I3DL2REVERB = 6,
  BASS_FX_DX8_PARAMEQ = 7,
  BASS_FX_DX8_REVERB = 8
};

enum {
  BASS_DX8_PHASE_NEG_180 = 0,
  BASS_DX8_PHASE_NEG_90 = 1,
  BASS_DX8_PHASE_ZERO = 2,
  BASS_DX8_PHASE_90 = 3,
  BASS_DX8_PHASE_180 = 4
};

typedef struct {
  float fWetDryMix;
  float fDepth;
  float fFeedback;
  float fFrequency;
  DWORD lWaveform;  // 0 = triangle, 1 = sine
  float fDelay;
  DWORD lPhase;     // BASS_DX8_PHASE_xxx
} BASS_DX8_CHORUS;

typedef struct {
  float fGain;
  float fAttack;
  float fRelease;
  float fThreshold;
  float fRatio;
  float fPredelay;
} BASS_DX8_COMPRESSOR;

typedef struct {
  float fGain;
  float fEdge;
  float fPostEQCenterFrequency;
  float fPostEQBandwidth;
  float fPreLowpassCutoff;
} BASS_DX8_DISTORTION;

typedef struct {
  float fWetDryMix;
  float fFeedback;
  float fLeftDelay;
  float fRightDelay;
  BOOL lPanDelay;
} BASS_DX8_ECHO;

typedef struct {
  float fWetDryMix;
  float fDepth;
  float fFeedback;
  float fFrequency;
  DWORD lWaveform;
  float fDelay;
  DWORD lPhase;
} BASS_DX8_FLANGER;

typedef struct {
  DWORD dwRateHz;
  DWORD dwWaveShape;  // 0 = triangle, 1 = square
} BASS_DX8_GARGLE;

typedef struct {
  int lRoom;
  int lRoomHF;
  float flRoomRolloffFactor;
  float flDecayTime;
  float flDecayHFRatio;
  int lReflections;
  float flReflectionsDelay;
  int lReverb;
  float flReverbDelay;
  float flDiffusion;
  float flDensity;
  float flHFReference;
} BASS_DX8_I3DL2REVERB;

typedef struct {
  float fCenter;
  float fBandwidth;
  float fGain;
} BASS_DX8_PARAMEQ;

typedef struct {
  float fInGain;
  float fReverbMix;
  float fReverbTime;
  float fHighFreqRTRatio;
} BASS_DX8_REVERB;

typedef DWORD(
#if defined(_WIN32)
    CALLBACK
#endif
    STREAMPROC)(HSTREAM handle, void* buffer, DWORD length, void* user);

#ifdef __cplusplus
extern "C" {
#endif

BASS_API HSTREAM BASSDEF(BASS_StreamCreate)(DWORD freq, DWORD chans, DWORD flags, STREAMPROC* proc, void* user);
BASS_API BOOL BASSDEF(BASS_StreamFree)(HSTREAM handle);
BASS_API HFX BASSDEF(BASS_ChannelSetFX)(DWORD handle, DWORD type, int priority);
BASS_API BOOL BASSDEF(BASS_ChannelRemoveFX)(DWORD handle, HFX fx);
BASS_API BOOL BASSDEF(BASS_FXSetParameters)(HFX handle, const void* params);
BASS_API BOOL BASSDEF(BASS_FXGetParameters)(HFX handle, void* params);
BASS_API BOOL BASSDEF(BASS_ChannelSetEAXMix)(DWORD handle, float mix);
BASS_API BOOL BASSDEF(BASS_SetEAXParameters)(int env, float vol, float decay, float damp);
BASS_API int BASSDEF(BASS_ErrorGetCode)(void);

#ifdef __cplusplus
}
#endif
