// Reading the router's WAN set-up for the Line Configuration page from its listings.
#pragma once

#include <functional>
#include <string>

#include "line/LineValues.h"

namespace tarnwick {

// The five listings every reading starts from.
struct LineListings {
  std::string nat;     // "ip nat"
  std::string bridge;  // "bridge device"
  std::string device;  // "ip device"
  std::string subnet;  // "ip subnet"
  std::string ppp;     // "flashfs cat initppp"
};

// What a reading finds: the page's values and the address texts (masks in decimal colon form).
struct LineReading {
  LineValues values;
  LineTexts texts;
  int SinglePvc = 1;  // 0 when further PVCs were found
};

// Runs a further listing ("ip route\r\n", "ip ipatm pvc\r\n") and returns its reply.
using AskRouter = std::function<std::string(const std::string& command)>;

// Decides the protocol and reads its values, starting from what the page holds (keys that no
// line holds leave a value as it was), and looks for further PVCs.
LineReading ReadLineState(const LineListings& listings, const AskRouter& ask, LineReading start);

}  // namespace tarnwick
