// Every DX8 plug-in's setter rules in one table: a child moves from a value
// inside every range to the row's value; the table says what is stored and
// whether that stream operation, and the next one with the same value,
// put the effect anew (remove, set, parameters) or made no call.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <map>

#include "plugin_catalog.h"
#include "stream_rig.h"

namespace {

struct RuleCase {
  PluginId plugin;
  int child;
  float input;
  size_t member;     // offset in the effect's parameter record
  bool integer;      // the member is a 32-bit integer
  double stored;     // NAN: stored unchanged as NaN
  bool applies;
  bool appliesAgain;
};

#define ECHO(m) offsetof(BASS_DX8_ECHO, m)
#define CHORUS(m) offsetof(BASS_DX8_CHORUS, m)
#define FLANGER(m) offsetof(BASS_DX8_FLANGER, m)
#define DIST(m) offsetof(BASS_DX8_DISTORTION, m)
#define COMP(m) offsetof(BASS_DX8_COMPRESSOR, m)
#define GARGLE(m) offsetof(BASS_DX8_GARGLE, m)
#define REVERB(m) offsetof(BASS_DX8_REVERB, m)
#define EQ(m) offsetof(BASS_DX8_PARAMEQ, m)

constexpr bool F = false;  // float member
constexpr bool I = true;   // integer member

const RuleCase kRuleCases[] = {
    // echo: clamps [0,100] and [0,333]; pan only exactly 1.0. Baseline 50 50 100 100 0.
    {PluginId::kEcho, 0, 150, ECHO(fWetDryMix), F, 100, true, true},
    {PluginId::kEcho, 0, 100, ECHO(fWetDryMix), F, 100, true, false},
    {PluginId::kEcho, 0, 0, ECHO(fWetDryMix), F, 0, true, false},
    {PluginId::kEcho, 0, -0.0001f, ECHO(fWetDryMix), F, 0, true, true},
    {PluginId::kEcho, 0, 50, ECHO(fWetDryMix), F, 50, false, false},
    {PluginId::kEcho, 0, NAN, ECHO(fWetDryMix), F, NAN, true, true},
    {PluginId::kEcho, 1, -5, ECHO(fFeedback), F, 0, true, true},
    {PluginId::kEcho, 1, 42.5f, ECHO(fFeedback), F, 42.5, true, false},
    {PluginId::kEcho, 2, 500, ECHO(fLeftDelay), F, 333, true, true},
    {PluginId::kEcho, 2, 1500, ECHO(fLeftDelay), F, 333, true, true},  // inside the announced 2000
    {PluginId::kEcho, 2, 333, ECHO(fLeftDelay), F, 333, true, false},
    {PluginId::kEcho, 2, 0, ECHO(fLeftDelay), F, 0, true, false},
    {PluginId::kEcho, 3, 333.5f, ECHO(fRightDelay), F, 333, true, true},
    {PluginId::kEcho, 3, -1, ECHO(fRightDelay), F, 0, true, true},
    {PluginId::kEcho, 4, 1.0f, ECHO(lPanDelay), I, 1, true, false},
    {PluginId::kEcho, 4, 0.5f, ECHO(lPanDelay), I, 0, false, false},
    {PluginId::kEcho, 4, 0.999f, ECHO(lPanDelay), I, 0, false, false},
    {PluginId::kEcho, 4, 2, ECHO(lPanDelay), I, 0, false, false},
    {PluginId::kEcho, 4, -1, ECHO(lPanDelay), I, 0, false, false},

    // chorus: waveform 0/1 else 1, phase 0..4 else 2, truncated toward zero.
    // Baseline 50 50 0 5 1 10 2.
    {PluginId::kChorus, 4, 0.9f, CHORUS(lWaveform), I, 0, true, false},
    {PluginId::kChorus, 4, 1.7f, CHORUS(lWaveform), I, 1, false, false},
    {PluginId::kChorus, 4, 3, CHORUS(lWaveform), I, 1, true, true},  // 3 never equals the stored 1
    {PluginId::kChorus, 4, -0.5f, CHORUS(lWaveform), I, 0, true, false},
    {PluginId::kChorus, 4, -1, CHORUS(lWaveform), I, 1, true, true},  // 4294967295
    {PluginId::kChorus, 4, NAN, CHORUS(lWaveform), I, 0, true, false},
    {PluginId::kChorus, 4, 1e30f, CHORUS(lWaveform), I, 0, true, false},  // beyond 64 bits
    {PluginId::kChorus, 6, 4.9f, CHORUS(lPhase), I, 4, true, false},
    {PluginId::kChorus, 6, 5, CHORUS(lPhase), I, 2, true, true},
    {PluginId::kChorus, 6, -1, CHORUS(lPhase), I, 2, true, true},
    {PluginId::kChorus, 6, 2.8f, CHORUS(lPhase), I, 2, false, false},
    {PluginId::kChorus, 2, -150, CHORUS(fFeedback), F, -99, true, true},
    {PluginId::kChorus, 3, 12, CHORUS(fFrequency), F, 10, true, true},
    {PluginId::kChorus, 5, 25, CHORUS(fDelay), F, 20, true, true},
    {PluginId::kChorus, 5, 10, CHORUS(fDelay), F, 10, false, false},
    {PluginId::kChorus, 1, 100, CHORUS(fDepth), F, 100, true, false},

    // flanger: the chorus's rules, delay ends at 4. Baseline 50 50 0 5 1 2 2.
    {PluginId::kFlanger, 5, 10, FLANGER(fDelay), F, 4, true, true},
    {PluginId::kFlanger, 5, 4, FLANGER(fDelay), F, 4, true, false},
    {PluginId::kFlanger, 4, 2, FLANGER(lWaveform), I, 1, true, true},
    {PluginId::kFlanger, 6, 7, FLANGER(lPhase), I, 2, true, true},
    {PluginId::kFlanger, 6, -0.5f, FLANGER(lPhase), I, 0, true, false},
    {PluginId::kFlanger, 2, 99.5f, FLANGER(fFeedback), F, 99, true, true},
    {PluginId::kFlanger, 0, 101, FLANGER(fWetDryMix), F, 100, true, true},

    // distortion. Baseline -30 50 1000 1000 1000.
    {PluginId::kDistortion, 0, -80, DIST(fGain), F, -60, true, true},
    {PluginId::kDistortion, 0, 6, DIST(fGain), F, 0, true, true},
    {PluginId::kDistortion, 1, 100, DIST(fEdge), F, 100, true, false},
    {PluginId::kDistortion, 2, 0, DIST(fPostEQCenterFrequency), F, 100, true, true},
    {PluginId::kDistortion, 2, 9000, DIST(fPostEQCenterFrequency), F, 8000, true, true},
    {PluginId::kDistortion, 3, 0, DIST(fPostEQBandwidth), F, 100, true, true},
    {PluginId::kDistortion, 3, 9000, DIST(fPostEQBandwidth), F, 8000, true, true},
    {PluginId::kDistortion, 4, 0, DIST(fPreLowpassCutoff), F, 100, true, true},
    {PluginId::kDistortion, 4, 9000, DIST(fPreLowpassCutoff), F, 8000, true, true},

    // compressor: the attack's lower bound is the float nearest 0.001.
    // Baseline 0 10 200 -20 3 2.
    {PluginId::kCompressor, 3, -70, COMP(fThreshold), F, -60, true, true},
    {PluginId::kCompressor, 3, 5, COMP(fThreshold), F, 0, true, true},
    {PluginId::kCompressor, 1, 0, COMP(fAttack), F, 0.001f, true, true},
    {PluginId::kCompressor, 1, 0.001f, COMP(fAttack), F, 0.001f, true, false},
    {PluginId::kCompressor, 1, 600, COMP(fAttack), F, 500, true, true},
    {PluginId::kCompressor, 4, 0, COMP(fRatio), F, 1, true, true},
    {PluginId::kCompressor, 4, 100, COMP(fRatio), F, 100, true, false},
    {PluginId::kCompressor, 5, -1, COMP(fPredelay), F, 0, true, true},
    {PluginId::kCompressor, 5, 10, COMP(fPredelay), F, 4, true, true},
    {PluginId::kCompressor, 2, 20, COMP(fRelease), F, 50, true, true},
    {PluginId::kCompressor, 2, 5000, COMP(fRelease), F, 3000, true, true},
    {PluginId::kCompressor, 0, -80, COMP(fGain), F, -60, true, true},
    {PluginId::kCompressor, 0, 75, COMP(fGain), F, 60, true, true},
    {PluginId::kCompressor, 0, 70, COMP(fGain), F, 60, true, true},
    {PluginId::kCompressor, 0, -60, COMP(fGain), F, -60, true, false},

    // gargle: no change test, the setters convert the float. Baseline 20 0.
    {PluginId::kGargle, 0, 20.9f, GARGLE(dwRateHz), I, 20, true, true},
    {PluginId::kGargle, 0, 0.4f, GARGLE(dwRateHz), I, 0, true, true},
    {PluginId::kGargle, 0, -3, GARGLE(dwRateHz), I, 0, true, true},
    {PluginId::kGargle, 0, 2500, GARGLE(dwRateHz), I, 1000, true, true},
    {PluginId::kGargle, 0, 1000, GARGLE(dwRateHz), I, 1000, true, true},
    {PluginId::kGargle, 0, 20, GARGLE(dwRateHz), I, 20, true, true},  // unchanged: applied anew
    {PluginId::kGargle, 0, NAN, GARGLE(dwRateHz), I, 0, true, true},
    {PluginId::kGargle, 1, 0.99f, GARGLE(dwWaveShape), I, 0, true, true},
    {PluginId::kGargle, 1, 1, GARGLE(dwWaveShape), I, 1, true, true},
    {PluginId::kGargle, 1, 3.7f, GARGLE(dwWaveShape), I, 1, true, true},
    {PluginId::kGargle, 1, -2, GARGLE(dwWaveShape), I, 0, true, true},

    // reverb: time from 0 (the name says 0.001); HF ratio bounds compared
    // in double precision. Baseline -10 -10 1000 0.5.
    {PluginId::kReverb, 2, 0, REVERB(fReverbTime), F, 0, true, false},
    {PluginId::kReverb, 2, -5, REVERB(fReverbTime), F, 0, true, true},
    {PluginId::kReverb, 2, 4000, REVERB(fReverbTime), F, 3000, true, true},
    {PluginId::kReverb, 0, 3, REVERB(fInGain), F, 0, true, true},
    {PluginId::kReverb, 0, -100, REVERB(fInGain), F, -96, true, true},
    {PluginId::kReverb, 1, 5, REVERB(fReverbMix), F, 0, true, true},
    {PluginId::kReverb, 1, -100, REVERB(fReverbMix), F, -96, true, true},
    {PluginId::kReverb, 3, 0, REVERB(fHighFreqRTRatio), F, 0.001f, true, true},
    {PluginId::kReverb, 3, 1, REVERB(fHighFreqRTRatio), F, 0.999f, true, true},
    {PluginId::kReverb, 3, 0.999f, REVERB(fHighFreqRTRatio), F, 0.999f, true, false},

    // parametric equaliser: no change test. Baseline 1000 10 0.
    {PluginId::kParamEQ, 0, 50, EQ(fCenter), F, 80, true, true},
    {PluginId::kParamEQ, 0, 20000, EQ(fCenter), F, 16000, true, true},
    {PluginId::kParamEQ, 1, 0.5f, EQ(fBandwidth), F, 1, true, true},
    {PluginId::kParamEQ, 1, 40, EQ(fBandwidth), F, 36, true, true},
    {PluginId::kParamEQ, 2, -20, EQ(fGain), F, -15, true, true},
    {PluginId::kParamEQ, 2, 20, EQ(fGain), F, 15, true, true},
    {PluginId::kParamEQ, 2, 0, EQ(fGain), F, 0, true, true},
};

LoadedPlugin& Library(PluginId id) {
  static std::map<PluginId, std::unique_ptr<LoadedPlugin>> libraries;
  auto& slot = libraries[id];
  if (!slot) slot = std::make_unique<LoadedPlugin>(Plugin(id));
  return *slot;
}

// The parameter fields follow the base part, in the record's member order.
double ReadMember(const void* record, const RuleCase& r) {
  const unsigned char* p = static_cast<const unsigned char*>(record) + r.member;
  if (r.integer) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
  }
  float v;
  memcpy(&v, p, 4);
  return v;
}
double StoredIn(Kvn_Channel* channel, const RuleCase& r) {
  return ReadMember(reinterpret_cast<const unsigned char*>(channel) + sizeof(Kvn_Channel), r);
}
void ExpectValue(double actual, double expected, const char* what) {
  if (isnan(expected))
    EXPECT_TRUE(isnan(actual)) << what << ": expected NaN, got " << actual;
  else
    EXPECT_EQ(actual, expected) << what;
}

TEST(PluginRules, EachRowStoresAndAppliesAsItsRuleSays) {
  for (const RuleCase& r : kRuleCases) {
    const PluginCase& c = Plugin(r.plugin);
    SCOPED_TRACE(::testing::Message() << c.channelName << " child " << r.child << " <- " << r.input);
    LoadedPlugin& library = Library(r.plugin);
    ASSERT_TRUE(library.ok());
    StreamRig rig;
    Kvn_Channel* channel = library.InitDLL();
    rig.Attach(*channel, c.baseline);
    StreamOperation(channel, rig.stream());
    ASSERT_NE(rig.stream()->*c.slot, 0u);

    rig.child(static_cast<size_t>(r.child)).SetValue(r.input);
    rig.Mark();
    StreamOperation(channel, rig.stream());
    EXPECT_EQ(rig.Calls(), r.applies ? kReapply : kNoCalls) << "first stream operation";
    ExpectValue(StoredIn(channel, r), r.stored, "stored");
    if (r.applies) ExpectValue(ReadMember(rig.LastCall(kBassFXSetParameters).params, r), r.stored, "passed");

    rig.Mark();
    StreamOperation(channel, rig.stream());
    EXPECT_EQ(rig.Calls(), r.appliesAgain ? kReapply : kNoCalls) << "second stream operation";
    ExpectValue(StoredIn(channel, r), r.stored, "stored after the second");
    delete channel;
  }
}

}  // namespace
