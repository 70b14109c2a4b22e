// The reverb plug-in: parameter table and the channel's named members.
#include "reverb_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kReverbParams[] = {
    {"Gain (-96/0)Db", Rule::kClamp, offsetof(BASS_DX8_REVERB, fInGain), -96.0, 0.0, 0},
    {"Mix (-96/0)Db", Rule::kClamp, offsetof(BASS_DX8_REVERB, fReverbMix), -96.0, 0.0, 0},
    // The name announces 0.001; the time's lower bound is 0.
    {"Time (0.001/3000)ms", Rule::kClamp, offsetof(BASS_DX8_REVERB, fReverbTime), 0.0, 3000.0, 0},
    // Compared in double precision; a bound is stored as the nearest float.
    {"HighFrequecyRT Ratio (0.001/0.999)", Rule::kClamp, offsetof(BASS_DX8_REVERB, fHighFreqRTRatio), 0.001, 0.999, 0},
};

}  // namespace

const kvc::EffectInfo Kvc_ReverbStream::kInfo = {
    "ReverbStream",
    {0x8B31F6D0, 0x7E29, 0x4C54, {0xA0, 0xB8, 0xF4, 0xD2, 0x6E, 0x91, 0x3C, 0x57}},
    BASS_FX_DX8_REVERB,
    &BassStream::reverb,
    kReverbParams,
    kvc::CountOf(kReverbParams),
    nullptr,
    0,
};

Kvc_ReverbStream::Kvc_ReverbStream() = default;
Kvc_ReverbStream::Kvc_ReverbStream(const Kvc_ReverbStream& other) = default;
Kvc_ReverbStream& Kvc_ReverbStream::operator=(const Kvc_ReverbStream& other) = default;
Kvc_ReverbStream::~Kvc_ReverbStream() = default;

void Kvc_ReverbStream::SetStreamReverv(BassStream* stream) { ApplyToStream(stream); }
void Kvc_ReverbStream::RefreshParms() { RefreshAll(); }
void Kvc_ReverbStream::setGain(float value) { SetParam(0, value); }
void Kvc_ReverbStream::setMix(float value) { SetParam(1, value); }
void Kvc_ReverbStream::setTime(float value) { SetParam(2, value); }
void Kvc_ReverbStream::setHFRatio(float value) { SetParam(3, value); }

KVC_PLUGIN_EXPORTS(Kvc_ReverbStream)
