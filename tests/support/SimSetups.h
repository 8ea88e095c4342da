// Router set-ups beyond the simulator's presets, as the command lines that make them.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::testing {

// A DHCP server with a range, DNS servers and a lease time.
inline const std::vector<std::string> kDhcpServerSetup = {
    "dhcpserver config flush",
    "dhcpserver config add subnet 127.0.0.0 netmask 255.255.255.0 {",
    "dhcpserver config add range 127.0.0.100 127.0.0.199;",
    "dhcpserver config add option domain-name-servers 192.0.2.53,192.0.2.54;",
    "dhcpserver config add max-lease-time 86400;",
    "dhcpserver config add }",
    "dhcpserver config confirm",
};

}  // namespace tarnwick::testing
