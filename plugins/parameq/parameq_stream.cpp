// The parametric equaliser plug-in: parameter table and the channel's named members.
#include "parameq_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kParamEQParams[] = {
    {"Center Freq. (80-16000)", Rule::kClampAlways, offsetof(BASS_DX8_PARAMEQ, fCenter), 80.0, 16000.0, 0},
    {"BandWidth (1-36)", Rule::kClampAlways, offsetof(BASS_DX8_PARAMEQ, fBandwidth), 1.0, 36.0, 0},
    {"Gain (-15/15)", Rule::kClampAlways, offsetof(BASS_DX8_PARAMEQ, fGain), -15.0, 15.0, 0},
};

}  // namespace

const kvc::EffectInfo Kvc_channelParamEQ::kInfo = {
    "ParamEQStream",
    {0xC76E2D1B, 0x0F84, 0x4A39, {0xB5, 0xC2, 0x9A, 0x18, 0xE7, 0xF4, 0x0D, 0x63}},
    BASS_FX_DX8_PARAMEQ,
    &BassStream::parameq,
    kParamEQParams,
    kvc::CountOf(kParamEQParams),
    nullptr,
    0,
};

// A field whose child has never been present goes to the audio library as -1.0.
Kvc_channelParamEQ::Kvc_channelParamEQ() {
  fields_.fCenter = -1.0f;
  fields_.fBandwidth = -1.0f;
  fields_.fGain = -1.0f;
}
Kvc_channelParamEQ::Kvc_channelParamEQ(const Kvc_channelParamEQ& other) = default;
Kvc_channelParamEQ& Kvc_channelParamEQ::operator=(const Kvc_channelParamEQ& other) = default;
Kvc_channelParamEQ::~Kvc_channelParamEQ() = default;

void Kvc_channelParamEQ::SetStreamParamEQ(BassStream* stream) { ApplyToStream(stream); }
void Kvc_channelParamEQ::RefreshParms() { RefreshAll(); }
void Kvc_channelParamEQ::setCenter(float value) { SetParam(0, value); }
void Kvc_channelParamEQ::setBandWidth(float value) { SetParam(1, value); }
void Kvc_channelParamEQ::setGain(float value) { SetParam(2, value); }

KVC_PLUGIN_EXPORTS(Kvc_channelParamEQ)
