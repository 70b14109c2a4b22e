// The flanger channel: a DX8 flanger in the stream's flanger slot, seven parameters.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_FlangerStream : public kvc::EffectChannel<Kvc_FlangerStream, BASS_DX8_FLANGER> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_FlangerStream();
  Kvc_FlangerStream(const Kvc_FlangerStream& other);
  Kvc_FlangerStream& operator=(const Kvc_FlangerStream& other);
  ~Kvc_FlangerStream() override;

  virtual void SetStreamFlanger(BassStream* stream);

  void RefreshParms();
  void setMix(float value);
  void setDepth(float value);
  void setFeedback(float value);
  void setFrequency(float value);
  void setWaveform(DWORD value);
  void setDelay(float value);
  void setPhase(DWORD value);
};
