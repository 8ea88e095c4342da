// What a user types into the DHCP page and what it shows, for the page's tests.
#pragma once

#include <array>
#include <ostream>
#include <string>

#include "lan/CDHCP.h"
#include "support/TestView.h"

namespace tarnwick::testing {

using Quad = std::array<std::string, 4>;
enum Group { kNet, kMask, kStart, kEnd, kGateway, kPrimary, kSecondary };

struct DhcpBoxes {
  bool dhcp = true;
  bool relay = false;
  std::array<Quad, 7> quads = {{{"192", "168", "1", "0"},
                                {"255", "255", "255", "0"},
                                {"192", "168", "1", "100"},
                                {"192", "168", "1", "199"},
                                {"192", "168", "1", "1"},
                                {"192", "0", "2", "53"},
                                {"192", "0", "2", "54"}}};
  std::string lease = "1.5";
  bool operator==(const DhcpBoxes&) const = default;
};

inline void PrintTo(const DhcpBoxes& b, std::ostream* out) {
  *out << (b.dhcp ? "dhcp" : "no dhcp") << (b.relay ? ", relay" : ", no relay");
  for (const Quad& q : b.quads) *out << ", " << q[0] << "." << q[1] << "." << q[2] << "." << q[3];
  *out << ", lease [" << b.lease << "]";
}

inline std::array<const OctetField*, 7> Groups(const CDHCP& p) {
  return {&p.NetworkIdOctets, &p.SubnetMaskOctets, &p.RangeStartOctets,  &p.RangeEndOctets,
          &p.GatewayOctets,   &p.PrimaryDnsOctets, &p.SecondaryDnsOctets};
}

inline void TypeBoxes(TestView& view, const CDHCP& page, const DhcpBoxes& b) {
  for (int g = 0; g < 7; ++g)
    for (int i = 0; i < 4; ++i) view.SetText(Groups(page)[g]->ids()[i], b.quads[g][i]);
  view.SetText(IDC_DHCP_LEASE, b.lease);
  view.SetChecked(IDC_DHCP_ENABLE, b.dhcp);
  view.SetChecked(IDC_DHCP_RELAY, b.relay);
}

inline DhcpBoxes ShownBoxes(const TestView& view, const CDHCP& page) {
  DhcpBoxes b{view.IsChecked(IDC_DHCP_ENABLE), view.IsChecked(IDC_DHCP_RELAY), {}, ""};
  for (int g = 0; g < 7; ++g)
    for (int i = 0; i < 4; ++i) b.quads[g][i] = view.GetText(Groups(page)[g]->ids()[i]);
  b.lease = view.GetText(IDC_DHCP_LEASE);
  return b;
}

}  // namespace tarnwick::testing
