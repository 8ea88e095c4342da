#pragma once

#include "app/Settings.h"
#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Ui.h"

namespace tarnwick {

// Everything process-wide: the channel with its log-in data, ConfigChanged, and the
// seams every page works through. Pages receive it by reference.
class Session {
 public:
  Session(SocketFactory& sockets, Clock& clock, Ui& ui, Settings& settings)
      : channel(sockets, clock, ui), clock(clock), ui(ui), settings(settings) {}

  CommandChannel channel;
  Clock& clock;
  Ui& ui;
  Settings& settings;
  bool ConfigChanged = false;
  // Written by the line, Multiple PVC and DHCP pages.
  bool DnsDiscoveryAllowed = true;
};

}  // namespace tarnwick
