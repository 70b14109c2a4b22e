// The echo plug-in: parameter table and the channel's named members.
#include "echo_stream.h"

using kvc::Rule;

namespace {

const kvc::Param kEchoParams[] = {
    {"Mix (0/100)", Rule::kClamp, offsetof(BASS_DX8_ECHO, fWetDryMix), 0.0, 100.0, 0},
    {"Feedback (0/100)", Rule::kClamp, offsetof(BASS_DX8_ECHO, fFeedback), 0.0, 100.0, 0},
    // The two delay names announce 1 to 2000 ms; the echo takes 0 to 333 ms.
    {"LeftDelay (1/2000)ms", Rule::kClamp, offsetof(BASS_DX8_ECHO, fLeftDelay), 0.0, 333.0, 0},
    {"Rightdelay (1/2000)ms", Rule::kClamp, offsetof(BASS_DX8_ECHO, fRightDelay), 0.0, 333.0, 0},
    // Takes the float: only exactly 1.0 turns the pan delay on.
    {"Pan delay (0/1)", Rule::kExactlyOne, offsetof(BASS_DX8_ECHO, lPanDelay), 0.0, 1.0, 0},
};

}  // namespace

const kvc::EffectInfo Kvc_EchoStream::kInfo = {
    "EchoStream",
    {0x5E0C1A47, 0x2B93, 0x4D6E, {0x8F, 0x10, 0x3C, 0x7A, 0x9B, 0x52, 0xE6, 0x14}},
    BASS_FX_DX8_ECHO,
    &BassStream::echo,
    kEchoParams,
    kvc::CountOf(kEchoParams),
    nullptr,
    0,
};

Kvc_EchoStream::Kvc_EchoStream() = default;
Kvc_EchoStream::Kvc_EchoStream(const Kvc_EchoStream& other) = default;
Kvc_EchoStream& Kvc_EchoStream::operator=(const Kvc_EchoStream& other) = default;
Kvc_EchoStream::~Kvc_EchoStream() = default;

void Kvc_EchoStream::SetStreamEcho(BassStream* stream) { ApplyToStream(stream); }
void Kvc_EchoStream::RefreshParms() { RefreshAll(); }
void Kvc_EchoStream::SetMix(float value) { SetParam(0, value); }
void Kvc_EchoStream::SetFeedback(float value) { SetParam(1, value); }
void Kvc_EchoStream::SetLeftDelay(float value) { SetParam(2, value); }
void Kvc_EchoStream::SetRigthDelay(float value) { SetParam(3, value); }
void Kvc_EchoStream::SetPanDelay(float value) { SetParam(4, value); }

KVC_PLUGIN_EXPORTS(Kvc_EchoStream)
