// Everything process-wide: the channel, the seams every page works through and shared state.
#pragma once

#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Ui.h"
#include "ui/LineState.h"
#include "ui/Router.h"
#include "ui/Settings.h"
#include "ui/WriteGuard.h"

namespace tarnwick {

class NotingUi;

// Pages and dialogs receive it by reference; nothing else is process-wide.
class Session {
 public:
  Session(SocketFactory& sockets, Clock& clock, Ui& ui, Settings& settings)
      : channel(sockets, clock, ui), router(channel), clock(clock), ui(ui), settings(settings) {}

  CommandChannel channel;
  // Every page reaches the router through it.
  Router router;
  Clock& clock;
  Ui& ui;
  Settings& settings;
  // Set by every change of the router's configuration; Close then saves it.
  bool ConfigChanged = false;
  // 1: the Line Configuration page may offer DNS Server Discovery and the DHCP page greys
  // out its DNS relay; 0: the reverse.
  int DnsDiscoveryAllowed = 0;
  LineState line;
  // Told of every reading and asked before every change; none: changes go out unguarded.
  WriteGuard* guard = nullptr;
  // The ui given above, when it notes what the pages showed (a restore needs it to tell a
  // page's refusal); else none.
  NotingUi* noted = nullptr;
};

}  // namespace tarnwick
