// The chorus plug-in: parameter table and the channel's named members.
#include "chorus_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kChorusParams[] = {
    {"Mix (0/100)", Rule::kClamp, offsetof(BASS_DX8_CHORUS, fWetDryMix), 0.0, 100.0, 0},
    {"Depth(0/100)", Rule::kClamp, offsetof(BASS_DX8_CHORUS, fDepth), 0.0, 100.0, 0},
    {"Feedback (-99/99", Rule::kClamp, offsetof(BASS_DX8_CHORUS, fFeedback), -99.0, 99.0, 0},
    {"Frequency (0/10)", Rule::kClamp, offsetof(BASS_DX8_CHORUS, fFrequency), 0.0, 10.0, 0},
    // 0 triangle, 1 sine; anything else becomes 1.
    {"Waveform (0=Triangle/1=Sinus)", Rule::kChoice, offsetof(BASS_DX8_CHORUS, lWaveform), 0.0, 1.0, 1},
    {"Delay (0/20) ms", Rule::kClamp, offsetof(BASS_DX8_CHORUS, fDelay), 0.0, 20.0, 0},
    // 0..4; anything else becomes BASS_DX8_PHASE_ZERO.
    {"Phase (0/4)", Rule::kChoice, offsetof(BASS_DX8_CHORUS, lPhase), 0.0, 4.0, BASS_DX8_PHASE_ZERO},
};

}  // namespace

const kvc::EffectInfo Kvc_ChorusStream::kInfo = {
    "ChorusStream",
    {0x71D4E2A9, 0x0C56, 0x4B8F, {0x9A, 0x3E, 0xD2, 0xF8, 0x1C, 0x6B, 0x03, 0x57}},
    BASS_FX_DX8_CHORUS,
    &BassStream::chorus,
    kChorusParams,
    kvc::CountOf(kChorusParams),
    nullptr,
    0,
};

Kvc_ChorusStream::Kvc_ChorusStream() = default;
Kvc_ChorusStream::Kvc_ChorusStream(const Kvc_ChorusStream& other) = default;
Kvc_ChorusStream& Kvc_ChorusStream::operator=(const Kvc_ChorusStream& other) = default;
Kvc_ChorusStream::~Kvc_ChorusStream() = default;

void Kvc_ChorusStream::SetStreamChorus(BassStream* stream) { ApplyToStream(stream); }
void Kvc_ChorusStream::RefreshParms() { RefreshAll(); }
void Kvc_ChorusStream::setMix(float value) { SetParam(0, value); }
void Kvc_ChorusStream::setDepth(float value) { SetParam(1, value); }
void Kvc_ChorusStream::setFeedback(float value) { SetParam(2, value); }
void Kvc_ChorusStream::setFrequency(float value) { SetParam(3, value); }
void Kvc_ChorusStream::setWaveform(DWORD value) { SetParamInteger(4, value); }
void Kvc_ChorusStream::setDelay(float value) { SetParam(5, value); }
void Kvc_ChorusStream::setPhase(DWORD value) { SetParamInteger(6, value); }

KVC_PLUGIN_EXPORTS(Kvc_ChorusStream)
