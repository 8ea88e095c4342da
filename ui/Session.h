// Everything process-wide: the channel, the seams every page works through and shared state.
#pragma once

#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Ui.h"
#include "ui/LineState.h"
#include "ui/Settings.h"

namespace tarnwick {

// Pages and dialogs receive it by reference; nothing else is process-wide.
class Session {
 public:
  Session(SocketFactory& sockets, Clock& clock, Ui& ui, Settings& settings)
      : channel(sockets, clock, ui), clock(clock), ui(ui), settings(settings) {}

  CommandChannel channel;
  Clock& clock;
  Ui& ui;
  Settings& settings;
  // Set by every change of the router's configuration; Close then saves it.
  bool ConfigChanged = false;
  // 1: the Line Configuration page may offer DNS Server Discovery and the DHCP page greys
  // out its DNS relay; 0: the reverse.
  int DnsDiscoveryAllowed = 0;
  LineState line;
  // Set while the router is only read (the console's show): the write-script kit then sends
  // nothing, so a reading that would change the router leaves it as it is.
  bool ReadOnly = false;
};

}  // namespace tarnwick
