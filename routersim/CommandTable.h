// Commands by their leading words, their listings, and the writers of the saved configuration.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "routersim/Router.h"

namespace tarnwick::routersim {

struct Options;

// Builds a command's output. Every line ends in "\r\n"; nothing may hold ">", which the
// client takes for the prompt.
class Listing {
 public:
  Listing& Line(const std::string& text);
  // "label : value[ unit]": the value is field (words in label) + 2.
  Listing& Field(const std::string& label, const std::string& value, const std::string& unit = "");
  Listing& Error(const std::string& text) { return Line("Error: " + text); }
  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

 private:
  std::string text_;
};

// What a command may ask of the running router beyond its state.
class Services {
 public:
  virtual ~Services() = default;
  virtual const Options& options() const = 0;
  // Stores the current configuration as the saved one (and in the state file).
  virtual bool SaveConfiguration(std::string* error) = 0;
  virtual void Restart() = 0;
  // Ends the connection the command came on, after its output.
  virtual void CloseConnection() = 0;
  // Ends every connection after this command's output; no prompt follows.
  virtual void DropAllConnections() = 0;
  // As DropAllConnections, but the connection the command came on still gets its prompt,
  // so its client sees a complete reply before the session ends.
  virtual void DropAllConnectionsAfterPrompt() = 0;
  // Runs a further line on the same state (batch execution); returns its output.
  virtual std::string Run(const std::string& line) = 0;
};

struct CommandContext {
  Router& router;
  Services& services;
  Millis now;                     // when the line is answered: readings are taken then
  Millis sent;                    // when the line arrived: pauses it starts run from then
  std::string line;               // as typed, without line end and outer blanks
  std::string rest;               // after the matched command words, outer blanks removed
  std::vector<std::string> args;  // rest split at runs of blanks
  Listing out;
};

using Handler = std::function<void(CommandContext&)>;
// Appends the command lines that rebuild one feature's configuration.
using ConfigWriter = std::function<void(const Router&, std::vector<std::string>&)>;

// Where a writer's lines stand in the saved configuration: a line may name only what the
// stages before it built (a subnet its device, a NAT rule or route its interface).
enum class ConfigStage { Line, Interfaces, Addresses, Routing, Services };

// Commands by leading words; the longest matching command wins, so "ip route add"
// and "ip route" can have handlers of their own.
class CommandTable {
 public:
  void Add(const std::string& command, Handler handler, const std::string& help = "");
  void AddConfigWriter(ConfigStage stage, ConfigWriter writer);

  // Output of one line; unknown commands give an error line.
  std::string Dispatch(Router& router, Services& services, Millis now, Millis sent,
                       const std::string& line) const;
  std::vector<std::string> WriteConfig(const Router& router) const;
  std::vector<std::pair<std::string, std::string>> Help() const;

 private:
  struct Entry {
    std::string command;
    Handler handler;
    std::string help;
  };
  std::vector<Entry> entries_;
  std::vector<std::pair<ConfigStage, ConfigWriter>> writers_;  // by stage, then as added
};

std::vector<std::string> SplitBlanks(const std::string& text);
std::string TrimBlanks(const std::string& text);
bool IsDottedQuad(const std::string& text);
bool IsHexColonQuad(const std::string& text);
bool IsNumber(const std::string& text);
std::string FormatTenths(double value);

// Each feature registers its commands and config writer in a file of its own.
void RegisterSystemCommands(CommandTable& table);
void RegisterDslCommands(CommandTable& table);
void RegisterRoutingCommands(CommandTable& table);
void RegisterWanCommands(CommandTable& table);
void RegisterPppCommands(CommandTable& table);
void RegisterLanCommands(CommandTable& table);

inline void RegisterAllCommands(CommandTable& table) {
  RegisterSystemCommands(table);
  RegisterDslCommands(table);
  RegisterRoutingCommands(table);
  RegisterWanCommands(table);
  RegisterPppCommands(table);
  RegisterLanCommands(table);
}

}  // namespace tarnwick::routersim
