// The gargle plug-in: parameter table and the channel's named members.
#include "gargle_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kGargleParams[] = {
    {"Rate Hz (0/1000)", Rule::kTruncatedClampAlways, offsetof(BASS_DX8_GARGLE, dwRateHz), 0.0, 1000.0, 0},
    {"Wave Shape (0/1)", Rule::kAtLeastOneAlways, offsetof(BASS_DX8_GARGLE, dwWaveShape), 0.0, 1.0, 0},
};

}  // namespace

const kvc::EffectInfo Kvc_GargleStream::kInfo = {
    "GargleStream",
    {0x1F7D3E95, 0xC248, 0x4B0A, {0x9D, 0x71, 0x6E, 0x5A, 0x20, 0xB8, 0xC3, 0xF9}},
    BASS_FX_DX8_GARGLE,
    &BassStream::gargle,
    kGargleParams,
    kvc::CountOf(kGargleParams),
    nullptr,
    0,
};

Kvc_GargleStream::Kvc_GargleStream() = default;
Kvc_GargleStream::Kvc_GargleStream(const Kvc_GargleStream& other) = default;
Kvc_GargleStream& Kvc_GargleStream::operator=(const Kvc_GargleStream& other) = default;
Kvc_GargleStream::~Kvc_GargleStream() = default;

void Kvc_GargleStream::SetStreamGargle(BassStream* stream) { ApplyToStream(stream); }
void Kvc_GargleStream::RefreshParms() { RefreshAll(); }
void Kvc_GargleStream::setRate(float value) { SetParam(0, value); }
void Kvc_GargleStream::setWaveShape(float value) { SetParam(1, value); }

KVC_PLUGIN_EXPORTS(Kvc_GargleStream)
