// What the engine shows of the effects on its streams: it reads the audio
// library's call record after each frame (the stand-in's probe) and keeps,
// per stream and effect type, how often parameters were applied and the last
// ones, for the overlay and the event log.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bass/bass_probe.h"
#include "meshwerk/api.h"

namespace meshwerk {

// The DX8 type's name ("Echo", "I3DL2Reverb", ...), or "" for an unknown type.
MESHWERK_API const char* EffectTypeName(DWORD type);
// "name=value ..." for a parameter record of the type; "" when the type is
// unknown or size is smaller than the type's record.
MESHWERK_API std::string DescribeEffect(DWORD type, const unsigned char* params, DWORD size);

constexpr DWORD kEaxType = 0x100;  // the EAX environment, kept beside the DX8 types

struct AppliedEffect {
  DWORD stream = 0;
  DWORD type = 0;
  int count = 0;           // parameter sets (EAX: environment sets) that succeeded
  std::string parameters;  // the last ones, described
};

class EffectView {
 public:
  // Reads the calls made since the last update. Returns the effects whose
  // count moved, in first-seen order.
  std::vector<const AppliedEffect*> Update();
  const std::vector<AppliedEffect>& Effects() const { return effects_; }
  void Clear();

 private:
  AppliedEffect& Entry(DWORD stream, DWORD type);
  DWORD seen_ = 0;
  std::map<DWORD, std::pair<DWORD, DWORD>> fx_;  // handle -> (stream, type)
  std::vector<AppliedEffect> effects_;
  DWORD eaxStream_ = 0;
  float eaxMix_ = 0;
  bool eaxMixSet_ = false;
};

}  // namespace meshwerk
