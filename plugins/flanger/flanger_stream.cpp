// The flanger plug-in: the chorus's parameters with its own names and a
// delay that ends at 4 ms.
#include "flanger_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kFlangerParams[] = {
    {"Mix (0/100)%", Rule::kClamp, offsetof(BASS_DX8_FLANGER, fWetDryMix), 0.0, 100.0, 0},
    {"Depth (0/100)%", Rule::kClamp, offsetof(BASS_DX8_FLANGER, fDepth), 0.0, 100.0, 0},
    {"Feedback (-99/99)", Rule::kClamp, offsetof(BASS_DX8_FLANGER, fFeedback), -99.0, 99.0, 0},
    {"Frequency LFO (0/10)", Rule::kClamp, offsetof(BASS_DX8_FLANGER, fFrequency), 0.0, 10.0, 0},
    {"Waveform (0/1)", Rule::kChoice, offsetof(BASS_DX8_FLANGER, lWaveform), 0.0, 1.0, 1},
    {"Delay (0/4) ms", Rule::kClamp, offsetof(BASS_DX8_FLANGER, fDelay), 0.0, 4.0, 0},
    {"Phase (0/4)", Rule::kChoice, offsetof(BASS_DX8_FLANGER, lPhase), 0.0, 4.0, BASS_DX8_PHASE_ZERO},
};

}  // namespace

const kvc::EffectInfo Kvc_FlangerStream::kInfo = {
    "FlangerStream",
    {0xA05E9C36, 0x4D1B, 0x4E72, {0x8C, 0x69, 0x1B, 0x7D, 0x3F, 0x24, 0xE8, 0xA0}},
    BASS_FX_DX8_FLANGER,
    &BassStream::flanger,
    kFlangerParams,
    kvc::CountOf(kFlangerParams),
    nullptr,
    0,
};

Kvc_FlangerStream::Kvc_FlangerStream() = default;
Kvc_FlangerStream::Kvc_FlangerStream(const Kvc_FlangerStream& other) = default;
Kvc_FlangerStream& Kvc_FlangerStream::operator=(const Kvc_FlangerStream& other) = default;
Kvc_FlangerStream::~Kvc_FlangerStream() = default;

void Kvc_FlangerStream::SetStreamFlanger(BassStream* stream) { ApplyToStream(stream); }
void Kvc_FlangerStream::RefreshParms() { RefreshAll(); }
void Kvc_FlangerStream::setMix(float value) { SetParam(0, value); }
void Kvc_FlangerStream::setDepth(float value) { SetParam(1, value); }
void Kvc_FlangerStream::setFeedback(float value) { SetParam(2, value); }
void Kvc_FlangerStream::setFrequency(float value) { SetParam(3, value); }
void Kvc_FlangerStream::setWaveform(DWORD value) { SetParamInteger(4, value); }
void Kvc_FlangerStream::setDelay(float value) { SetParam(5, value); }
void Kvc_FlangerStream::setPhase(DWORD value) { SetParamInteger(6, value); }

KVC_PLUGIN_EXPORTS(Kvc_FlangerStream)
