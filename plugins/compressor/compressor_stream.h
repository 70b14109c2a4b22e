// The compressor channel: a DX8 compressor in the stream's compressor slot,
// six parameters. Its setters and RefreshParms are private.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_CompressorStream : public kvc::EffectChannel<Kvc_CompressorStream, BASS_DX8_COMPRESSOR> {
 public:
  static const kvc::EffectInfo kInfo;

  Kvc_CompressorStream();
  Kvc_CompressorStream(const Kvc_CompressorStream& other);
  Kvc_CompressorStream& operator=(const Kvc_CompressorStream& other);
  ~Kvc_CompressorStream() override;

  virtual void SetStreamCompressor(BassStream* stream);

 private:
  void RefreshParms();
  void setGain(float value);
  void setAttack(float value);
  void setRelease(float value);
  void setThresold(float value);
  void setRatio(float value);
  void setPredelay(float value);
};
