// The distortion plug-in: parameter table and the channel's named members.
#include "distortion_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kDistortionParams[] = {
    {"Gain (-60/0)Db", Rule::kClamp, offsetof(BASS_DX8_DISTORTION, fGain), -60.0, 0.0, 0},
    {"Edge (0/100)%", Rule::kClamp, offsetof(BASS_DX8_DISTORTION, fEdge), 0.0, 100.0, 0},
    {"CenterFrequency(100/8000)hz", Rule::kClamp, offsetof(BASS_DX8_DISTORTION, fPostEQCenterFrequency), 100.0, 8000.0, 0},
    {"BandWith(100/8000)hz", Rule::kClamp, offsetof(BASS_DX8_DISTORTION, fPostEQBandwidth), 100.0, 8000.0, 0},
    {"LowPass Cut(100/8000)hz", Rule::kClamp, offsetof(BASS_DX8_DISTORTION, fPreLowpassCutoff), 100.0, 8000.0, 0},
};

}  // namespace

const kvc::EffectInfo Kvc_DistorsionStream::kInfo = {
    "DistorsionStream",
    {0x2C8B5F13, 0xE7A4, 0x4690, {0xB1, 0xD5, 0x8E, 0x3F, 0x06, 0xA9, 0x2C, 0x71}},
    BASS_FX_DX8_DISTORTION,
    &BassStream::distortion,
    kDistortionParams,
    kvc::CountOf(kDistortionParams),
    nullptr,
    0,
};

Kvc_DistorsionStream::Kvc_DistorsionStream() = default;
Kvc_DistorsionStream::Kvc_DistorsionStream(const Kvc_DistorsionStream& other) = default;
Kvc_DistorsionStream& Kvc_DistorsionStream::operator=(const Kvc_DistorsionStream& other) = default;
Kvc_DistorsionStream::~Kvc_DistorsionStream() = default;

void Kvc_DistorsionStream::SetStreamDistorsion(BassStream* stream) { ApplyToStream(stream); }
void Kvc_DistorsionStream::RefreshParms() { RefreshAll(); }
void Kvc_DistorsionStream::setGain(float value) { SetParam(0, value); }
void Kvc_DistorsionStream::setEdge(float value) { SetParam(1, value); }
void Kvc_DistorsionStream::setCenterFreq(float value) { SetParam(2, value); }
void Kvc_DistorsionStream::setBandwith(float value) { SetParam(3, value); }
void Kvc_DistorsionStream::setLowPassCut(float value) { SetParam(4, value); }

KVC_PLUGIN_EXPORTS(Kvc_DistorsionStream)
