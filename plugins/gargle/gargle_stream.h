// The gargle channel: a DX8 gargle in the stream's gargle slot. Both
// parameters are integers its setters take from the child's float, and the
// setters have no change test: every stream operation applies the effect anew.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_GargleStream : public kvc::EffectChannel<Kvc_GargleStream, BASS_DX8_GARGLE> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_GargleStream();
  Kvc_GargleStream(const Kvc_GargleStream& other);
  Kvc_GargleStream& operator=(const Kvc_GargleStream& other);
  ~Kvc_GargleStream() override;

  virtual void SetStreamGargle(BassStream* stream);

  void RefreshParms();
  void setRate(float value);
  void setWaveShape(float value);
};
