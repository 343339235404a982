#include "HandOffTicket.h"

#include "platform/DesktopServices.h"
#include "platform/Paths.h"

namespace orrelin {

namespace {

constexpr const char* kSwitches = "Switches";
constexpr const char* kScript = "Script";
constexpr const char* kFileNames = "File Names";
constexpr const char* kWorkDirectory = "Work Directory";
constexpr const char* kParameters = "Parameters";
constexpr const char* kColorSchemes = "Color Schemes";

PropertyList stringDictionary(const std::map<std::string, std::string>& entries) {
  PlistDictionary dict;
  for (const auto& [key, value] : entries) dict.emplace(key, PropertyList(value));
  return PropertyList(std::move(dict));
}

PropertyList stringArray(const std::vector<std::string>& entries) {
  PlistArray array;
  for (const auto& entry : entries) array.emplace_back(entry);
  return PropertyList(std::move(array));
}

void readStringDictionary(const PropertyList& ticket, const char* key, std::map<std::string, std::string>& into,
                          std::vector<std::string>& problems) {
  const PropertyList* value = ticket.find(key);
  if (!value) return;
  if (!value->isDictionary()) {
    problems.push_back(std::string("The ticket's \"") + key + "\" entry is not a dictionary; it is ignored.");
    return;
  }
  for (const auto& [name, item] : value->dictionary()) {
    if (item.isString())
      into[name] = item.string();
    else
      problems.push_back(std::string("The ticket's \"") + key + "\" entry \"" + name +
                         "\" is not a text; it is ignored.");
  }
}

void readStringArray(const PropertyList& ticket, const char* key, std::vector<std::string>& into,
                     std::vector<std::string>& problems) {
  const PropertyList* value = ticket.find(key);
  if (!value) return;
  if (!value->isArray()) {
    problems.push_back(std::string("The ticket's \"") + key + "\" entry is not a list; it is ignored.");
    return;
  }
  for (const auto& item : value->array()) {
    if (item.isString())
      into.push_back(item.string());
    else
      problems.push_back(std::string("The ticket's \"") + key + "\" entry holds a value that is not a text; it is ignored.");
  }
}

std::optional<std::string> readString(const PropertyList& ticket, const char* key,
                                      std::vector<std::string>& problems) {
  const PropertyList* value = ticket.find(key);
  if (!value) return std::nullopt;
  if (!value->isString()) {
    problems.push_back(std::string("The ticket's \"") + key + "\" entry is not a text; it is ignored.");
    return std::nullopt;
  }
  return value->string();
}

}  // namespace

HandOffTicket HandOffTicket::fromRequest(const CommandLineRequest& request) {
  HandOffTicket ticket;
  ticket.switches = request.switches;
  if (request.scriptPath) {
    const std::string& script = *request.scriptPath;
    ticket.script = (script[0] == '/' || !request.workDirectory) ? script : *request.workDirectory + "/" + script;
  }
  ticket.fileNames = request.fileNames;
  ticket.workDirectory = request.workDirectory;
  ticket.parameters = request.parameters;
  ticket.colorSchemes = request.colorSchemes;
  return ticket;
}

PropertyList HandOffTicket::propertyList() const {
  PlistDictionary dict;
  dict.emplace(kSwitches, stringDictionary(switches));
  if (script) dict.emplace(kScript, PropertyList(*script));
  dict.emplace(kFileNames, stringArray(fileNames));
  if (workDirectory) dict.emplace(kWorkDirectory, PropertyList(*workDirectory));
  dict.emplace(kParameters, stringDictionary(parameters));
  dict.emplace(kColorSchemes, stringArray(colorSchemes));
  return PropertyList(std::move(dict));
}

std::optional<HandOffTicket> HandOffTicket::fromPropertyList(const PropertyList& value,
                                                             std::vector<std::string>& problems) {
  if (!value.isDictionary()) return std::nullopt;
  HandOffTicket ticket;
  readStringDictionary(value, kSwitches, ticket.switches, problems);
  ticket.script = readString(value, kScript, problems);
  readStringArray(value, kFileNames, ticket.fileNames, problems);
  ticket.workDirectory = readString(value, kWorkDirectory, problems);
  readStringDictionary(value, kParameters, ticket.parameters, problems);
  readStringArray(value, kColorSchemes, ticket.colorSchemes, problems);
  return ticket;
}

const std::vector<std::string_view>& ticketKeys() {
  static const std::vector<std::string_view> keys = {kSwitches,  kScript,     kFileNames,
                                                     kWorkDirectory, kParameters, kColorSchemes};
  return keys;
}

std::string newTicketPath(const DesktopServices& desktop) {
  std::string name = std::string(kApplicationIdentifier) + ".orrel." + desktop.newUUIDString() + "." + kTicketEnding;
  return appendPathComponent(desktop.temporaryDirectory(), name);
}

}  // namespace orrelin
