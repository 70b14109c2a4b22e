// The parametric equaliser channel: a DX8 parametric equaliser in the
// stream's equaliser slot. Its fields start at -1.0 and its setters have no
// change test: every stream operation applies the effect anew.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_channelParamEQ : public kvc::EffectChannel<Kvc_channelParamEQ, BASS_DX8_PARAMEQ> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_channelParamEQ();
  Kvc_channelParamEQ(const Kvc_channelParamEQ& other);
  Kvc_channelParamEQ& operator=(const Kvc_channelParamEQ& other);
  ~Kvc_channelParamEQ() override;

  virtual void SetStreamParamEQ(BassStream* stream);

  void RefreshParms();
  void setCenter(float value);
  void setBandWidth(float value);
  void setGain(float value);
};
