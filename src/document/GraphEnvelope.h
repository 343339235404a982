#pragma once
// How a document's graphs sit in its content dictionary. A graph's stored
// form is an array: the style settings, the canvas settings, then the
// commands in drawing order. A document with one graph keeps the three parts
// under "Style", "Canvas" and "Commands"; one with several keeps every
// graph's array under "Drawing Views" and the index of the graph shown under
// "Current Graph".

#include <cstddef>
#include <string>
#include <vector>

#include "platform/PropertyList.h"

namespace orrelin {

struct StoredGraphs {
  std::vector<PlistArray> graphs;
  std::size_t current = 0;
  // The "Type" of every command that was dropped because no command kind
  // has it (or because it had none).
  std::vector<std::string> droppedTypes;
};

// The graphs of a content dictionary. Graphs stored before the style and
// canvas settings were commands of their own (the main axis first, holding
// the canvas settings) are converted. A command of an unknown kind is
// dropped and the rest kept. A content dictionary without graphs gives one
// empty graph (default style and canvas).
StoredGraphs graphsFromContent(const PlistDictionary& content);

// Writes the graphs into the content dictionary in the envelope their number
// asks for. No graphs writes nothing.
void addGraphEnvelope(PlistDictionary& content, const std::vector<PlistArray>& graphs, std::size_t current);

// A graph with default style and canvas settings and no commands.
PlistArray emptyStoredGraph();

// Whether a stored command "Type" names a command kind.
bool isKnownCommandType(const std::string& type);

}  // namespace orrelin
