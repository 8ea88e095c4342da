// Starting configurations: a router already set up in one of the WAN protocols.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::routersim {

// bridged, routed, ipoa, pppoa, pppoe, transparent, mixed.
const std::vector<std::string>& PresetNames();
// The command lines that turn a factory router into the preset, its LAN at lanAddress;
// false for an unknown name.
bool PresetLines(const std::string& name, const std::string& lanAddress,
                 std::vector<std::string>& lines);

}  // namespace tarnwick::routersim
