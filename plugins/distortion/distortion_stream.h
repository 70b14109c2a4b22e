// The distortion channel: a DX8 distortion in the stream's distortion slot, five parameters.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_DistorsionStream : public kvc::EffectChannel<Kvc_DistorsionStream, BASS_DX8_DISTORTION> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_DistorsionStream();
  Kvc_DistorsionStream(const Kvc_DistorsionStream& other);
  Kvc_DistorsionStream& operator=(const Kvc_DistorsionStream& other);
  ~Kvc_DistorsionStream() override;

  virtual void SetStreamDistorsion(BassStream* stream);

  void RefreshParms();
  void setGain(float value);
  void setEdge(float value);
  void setCenterFreq(float value);
  void setBandwith(float value);
  void setLowPassCut(float value);
};
