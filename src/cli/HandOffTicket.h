#pragma once
// The ticket with which the tool hands a job to the application: its keys,
// its file name, and reading it back.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLineArguments.h"
#include "platform/PropertyList.h"

namespace orrelin {

class DesktopServices;

// The application's reverse-domain identifier; ticket names begin with it.
inline constexpr const char* kApplicationIdentifier = "org.orrelin.Orrelin";
inline constexpr const char* kTicketEnding = "orrelticket";

struct HandOffTicket {
  std::map<std::string, std::string> switches;
  std::optional<std::string> script;
  std::vector<std::string> fileNames;
  std::optional<std::string> workDirectory;
  std::map<std::string, std::string> parameters;
  std::vector<std::string> colorSchemes;

  static HandOffTicket fromRequest(const CommandLineRequest& request);
  PropertyList propertyList() const;

  // Reads a ticket dictionary. Entries of the wrong kind are left out and
  // described in problems; none when the value is not a dictionary at all.
  static std::optional<HandOffTicket> fromPropertyList(const PropertyList& value,
                                                       std::vector<std::string>& problems);
};

// Every key a ticket holds, in the order written.
const std::vector<std::string_view>& ticketKeys();

// "<identifier>.orrel.<UUID>.orrelticket" in the temporary directory.
std::string newTicketPath(const DesktopServices& desktop);

}  // namespace orrelin
