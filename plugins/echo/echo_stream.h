// The echo channel: a DX8 echo in the stream's echo slot, five parameters.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_EchoStream : public kvc::EffectChannel<Kvc_EchoStream, BASS_DX8_ECHO> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_EchoStream();
  Kvc_EchoStream(const Kvc_EchoStream& other);
  Kvc_EchoStream& operator=(const Kvc_EchoStream& other);
  ~Kvc_EchoStream() override;

  virtual void SetStreamEcho(BassStream* stream);

  void RefreshParms();
  void SetMix(float value);
  void SetFeedback(float value);
  void SetLeftDelay(float value);
  void SetRigthDelay(float value);
  void SetPanDelay(float value);
};
