// The Line Configuration page's values other than its addresses, as one plain struct.
#pragma once

#include <string>

#include "ui/LineState.h"

namespace tarnwick {

struct LineValues {
  int Protocol = kBridged;
  std::string Vpi;
  std::string Vci;
  int NatEnabled = 0;
  std::string Channel;
  std::string UserName;
  std::string Password;
  int Framing = -1;  // 0 LLC SNAP, 1 VC MUX, -1 neither
  int AutoWan = 0;
  int DnsDiscovery = 0;
};

}  // namespace tarnwick
