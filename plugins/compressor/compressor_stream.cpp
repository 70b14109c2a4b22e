// The compressor plug-in: parameter table and the channel's named members.
#include "compressor_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kCompressorParams[] = {
    {"Gain (-60/60)dB", Rule::kClamp, offsetof(BASS_DX8_COMPRESSOR, fGain), -60.0, 60.0, 0},
    // Compared with and stored as the float nearest 0.001.
    {"Attack (0.001/500) ms", Rule::kClamp, offsetof(BASS_DX8_COMPRESSOR, fAttack), double(0.001f), 500.0, 0},
    {"Release (50/3000)dB", Rule::kClamp, offsetof(BASS_DX8_COMPRESSOR, fRelease), 50.0, 3000.0, 0},
    {"Thresold (-60/0)", Rule::kClamp, offsetof(BASS_DX8_COMPRESSOR, fThreshold), -60.0, 0.0, 0},
    {"Ratio(1/100)", Rule::kClamp, offsetof(BASS_DX8_COMPRESSOR, fRatio), 1.0, 100.0, 0},
    {"PreDelay(0/4)ms", Rule::kClamp, offsetof(BASS_DX8_COMPRESSOR, fPredelay), 0.0, 4.0, 0},
};

}  // namespace

const kvc::EffectInfo Kvc_CompressorStream::kInfo = {
    "CompressorStream",
    {0xE49C0B72, 0x5A1D, 0x4F83, {0xA6, 0xE2, 0x7B, 0x30, 0xC9, 0x5D, 0x1F, 0x48}},
    BASS_FX_DX8_COMPRESSOR,
    &BassStream::compressor,
    kCompressorParams,
    kvc::CountOf(kCompressorParams),
    nullptr,
    0,
};

Kvc_CompressorStream::Kvc_CompressorStream() = default;
Kvc_CompressorStream::Kvc_CompressorStream(const Kvc_CompressorStream& other) = default;
Kvc_CompressorStream& Kvc_CompressorStream::operator=(const Kvc_CompressorStream& other) = default;
Kvc_CompressorStream::~Kvc_CompressorStream() = default;

void Kvc_CompressorStream::SetStreamCompressor(BassStream* stream) { ApplyToStream(stream); }
void Kvc_CompressorStream::RefreshParms() { RefreshAll(); }
void Kvc_CompressorStream::setGain(float value) { SetParam(0, value); }
void Kvc_CompressorStream::setAttack(float value) { SetParam(1, value); }
void Kvc_CompressorStream::setRelease(float value) { SetParam(2, value); }
void Kvc_CompressorStream::setThresold(float value) { SetParam(3, value); }
void Kvc_CompressorStream::setRatio(float value) { SetParam(4, value); }
void Kvc_CompressorStream::setPredelay(float value) { SetParam(5, value); }

KVC_PLUGIN_EXPORTS(Kvc_CompressorStream)
