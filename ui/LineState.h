// The WAN line state shared by the Line Configuration page, the Multiple PVC dialog and DHCP.
#pragma once

#include <string>

namespace tarnwick {

// The protocol index the Line Configuration page, the Multiple PVC dialog and the NAT inbound
// dialog share.
enum LineProtocol : int {
  kBridged = 0,
  kRouted = 1,
  kIpoa = 2,
  kPppoa = 3,
  kPppoe = 4,
  kTransparentBridge = 5,
};

// The page's addresses as texts: dotted addresses; masks in colon form (decimal parts after
// reading, hexadecimal parts when applying).
struct LineTexts {
  bool operator==(const LineTexts&) const = default;

  std::string LanIpText;
  std::string LanMaskText;
  std::string WanIpText;
  std::string WanMaskText;
  std::string RemoteGatewayText;
};

// Texts start empty and flags 0 until the Line Configuration page first reads the router.
struct LineState {
  LineTexts texts;
  int SinglePvc = 0;             // 1: one PVC on the router, or the user agreed to replace several
  int PvcModeNormal = 0;         // 0: the router's PVCs are in transparent-bridge mode
  int BridgeLossAccepted = 0;    // 1: the user agreed to lose the transparent-bridge PVCs
  int LineChangedSinceRead = 0;  // 1: the page's values differ from the snapshot below
  int WanFieldsEnabled = 0;      // owned by the Multiple PVC dialog

  // Snapshot of the page as last read or applied.
  int ReadProtocol = 0;
  int ReadDnsDiscovery = 0;
  std::string ReadVpi;
  std::string ReadVci;
  std::string ReadUserName;
  std::string ReadPassword;
  std::string ReadWanIp;

  // The transparent-bridge PVC, kept so that the page can return to it.
  std::string BridgeVpi;
  std::string BridgeVci;
};

}  // namespace tarnwick
