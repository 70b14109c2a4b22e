// The reverb channel: a DX8 reverb in the stream's reverb slot, four
// parameters. Its setters and RefreshParms are private.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_ReverbStream : public kvc::EffectChannel<Kvc_ReverbStream, BASS_DX8_REVERB> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_ReverbStream();
  Kvc_ReverbStream(const Kvc_ReverbStream& other);
  Kvc_ReverbStream& operator=(const Kvc_ReverbStream& other);
  ~Kvc_ReverbStream() override;

  virtual void SetStreamReverv(BassStream* stream);

 private:
  void RefreshParms();
  void setGain(float value);
  void setMix(float value);
  void setTime(float value);
  void setHFRatio(float value);
};
