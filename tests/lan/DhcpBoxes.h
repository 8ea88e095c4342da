// What a user types into the DHCP page, for the page's tests.
#pragma once

#include <array>
#include <string>

#include "lan/CDHCP.h"
#include "support/TestView.h"

namespace tarnwick::testing {

using Quad = std::array<std::string, 4>;

struct DhcpBoxes {
  bool dhcp = true;
  bool relay = false;
  Quad net = {"192", "168", "1", "0"};
  Quad mask = {"255", "255", "255", "0"};
  Quad start = {"192", "168", "1", "100"};
  Quad end = {"192", "168", "1", "199"};
  Quad gateway = {"192", "168", "1", "1"};
  Quad primary = {"192", "0", "2", "53"};
  Quad secondary = {"192", "0", "2", "54"};
  std::string lease = "1.5";
};

inline void TypeBoxes(TestView& view, const CDHCP& page, const DhcpBoxes& b) {
  const std::pair<const OctetField*, const Quad*> groups[] = {
      {&page.NetworkIdOctets, &b.net},         {&page.SubnetMaskOctets, &b.mask},
      {&page.RangeStartOctets, &b.start},      {&page.RangeEndOctets, &b.end},
      {&page.GatewayOctets, &b.gateway},       {&page.PrimaryDnsOctets, &b.primary},
      {&page.SecondaryDnsOctets, &b.secondary}};
  for (const auto& [field, quad] : groups)
    for (int i = 0; i < 4; ++i) view.SetText(field->ids()[i], (*quad)[i]);
  view.SetText(IDC_DHCP_LEASE, b.lease);
  view.SetChecked(IDC_DHCP_ENABLE, b.dhcp);
  view.SetChecked(IDC_DHCP_RELAY, b.relay);
}

// What the page shows, read back from its controls.
inline DhcpBoxes ShownBoxes(const TestView& view, const CDHCP& page) {
  DhcpBoxes b;
  const std::pair<const OctetField*, Quad*> groups[] = {
      {&page.NetworkIdOctets, &b.net},         {&page.SubnetMaskOctets, &b.mask},
      {&page.RangeStartOctets, &b.start},      {&page.RangeEndOctets, &b.end},
      {&page.GatewayOctets, &b.gateway},       {&page.PrimaryDnsOctets, &b.primary},
      {&page.SecondaryDnsOctets, &b.secondary}};
  for (const auto& [field, quad] : groups)
    for (int i = 0; i < 4; ++i) (*quad)[i] = view.GetText(field->ids()[i]);
  b.lease = view.GetText(IDC_DHCP_LEASE);
  b.dhcp = view.IsChecked(IDC_DHCP_ENABLE);
  b.relay = view.IsChecked(IDC_DHCP_RELAY);
  return b;
}

inline std::string Describe(const DhcpBoxes& b) {
  auto quad = [](const Quad& q) { return q[0] + "." + q[1] + "." + q[2] + "." + q[3]; };
  return std::string(b.dhcp ? "dhcp" : "no dhcp") + (b.relay ? ", relay" : ", no relay") +
         ", net " + quad(b.net) + ", mask " + quad(b.mask) + ", range " + quad(b.start) + " - " +
         quad(b.end) + ", gateway " + quad(b.gateway) + ", dns " + quad(b.primary) + " " +
         quad(b.secondary) + ", lease [" + b.lease + "]";
}

}  // namespace tarnwick::testing
