// The chorus channel: a DX8 chorus in the stream's chorus slot, seven parameters.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_ChorusStream : public kvc::EffectChannel<Kvc_ChorusStream, BASS_DX8_CHORUS> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_ChorusStream();
  Kvc_ChorusStream(const Kvc_ChorusStream& other);
  Kvc_ChorusStream& operator=(const Kvc_ChorusStream& other);
  ~Kvc_ChorusStream() override;

  virtual void SetStreamChorus(BassStream* stream);

  void RefreshParms();
  void setMix(float value);
  void setDepth(float value);
  void setFeedback(float value);
  void setFrequency(float value);
  void setWaveform(DWORD value);
  void setDelay(float value);
  void setPhase(DWORD value);
};
