#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// The effect of that name from app/sounds.txt, mono, unmastered; false if
// there is no recipe for it.
bool RenderEffect(const std::string& name, std::vector<int32_t>& samples);

}  // namespace synth
