// Log-in session housekeeping: version, saving, restarting, queued scripts.
#include "routersim/CommandTable.h"
#include "routersim/Simulator.h"

namespace tarnwick::routersim {

void RegisterSystemCommands(CommandTable& table) {
  table.Add(
      "home", [](CommandContext&) {}, "return to the top menu");
  table.Add(
      "help",
      [&table](CommandContext& c) {
        for (const auto& [command, help] : table.Help()) c.out.Line(command + " - " + help);
      },
      "list commands");
  table.Add(
      "version",
      [](CommandContext& c) {
        c.out.Field("Firmware Version", c.router.firmwareVersion, "(build 2207)");
        c.out.Field("Boot Version", "1.4.2");
        c.out.Field("Hardware", "ADSL router, revision B");
        // Major release checks look for "Version " and the number together.
        c.out.Line("Software Version " + c.router.firmwareVersion);
      },
      "show firmware version");
  table.Add(
      "config save",
      [](CommandContext& c) {
        std::string error;
        if (c.services.SaveConfiguration(&error))
          c.out.Line("Configuration saved");
        else
          c.out.Error("configuration not saved: " + error);
      },
      "save the configuration");
  table.Add(
      "restart",
      [](CommandContext& c) {
        c.out.Line("Restarting, please wait ...");
        c.services.Restart();
      },
      "restart the router (unsaved changes are lost)");
  for (const char* close : {"@close", "exit", "quit", "logout"}) {
    table.Add(
        close,
        [](CommandContext& c) {
          c.out.Line("Goodbye");
          c.services.CloseConnection();
        },
        "end this session");
  }

  table.Add(
      "batch add",
      [](CommandContext& c) {
        if (c.rest.empty()) {
          c.out.Error("batch add needs a command line");
          return;
        }
        c.router.batchQueue.push_back(c.rest);
      },
      "queue a command line");
  table.Add(
      "batch delay",
      [](CommandContext& c) {
        // Beyond five digits the number would not fit the conversion, nor any delay make sense.
        if (c.args.size() != 1 || !IsNumber(c.args[0]) || c.args[0].size() > 5) {
          c.out.Error("batch delay needs a number of seconds");
          return;
        }
        c.router.batchDelaySeconds = std::stoi(c.args[0]);
      },
      "seconds to wait before a queued script runs");
  table.Add(
      "batch list",
      [](CommandContext& c) {
        if (c.router.batchQueue.empty()) c.out.Line("Batch queue is empty");
        for (const auto& line : c.router.batchQueue) c.out.Line("batch " + line);
      },
      "show the queued lines");
  table.Add(
      "batch clear", [](CommandContext& c) { c.router.batchQueue.clear(); },
      "forget the queued lines");
  table.Add(
      "batch execute",
      [](CommandContext& c) {
        // The queue may rebuild the interfaces the session runs over, so every session
        // ends with it; the delay has passed by the time a client logs in again.
        std::vector<std::string> queue;
        queue.swap(c.router.batchQueue);
        c.router.batchDelaySeconds = 0;
        for (const auto& line : queue) {
          std::string output = c.services.Run(line);
          if (output.find("Error") != std::string::npos) {
            c.out.Line(line);
            c.out.Line(output.substr(0, output.size() >= 2 ? output.size() - 2 : 0));
          }
        }
        c.services.DropAllConnectionsAfterPrompt();
      },
      "run the queued lines, then end every session");

  table.Add(
      "ip ping",
      [](CommandContext& c) {
        if (c.args.empty() || !IsDottedQuad(c.args[0])) {
          c.out.Error("ip ping needs a dotted address");
          return;
        }
        c.out.Line("PING " + c.args[0] + ": 3 packets transmitted, 3 packets received");
      },
      "ping an address");
}

}  // namespace tarnwick::routersim
