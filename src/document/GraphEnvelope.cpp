#include "document/GraphEnvelope.h"

#include <algorithm>

#include "document/DocumentTexts.h"

namespace orrelin {

namespace text = document_text;

namespace {

PlistDictionary settingsOfType(const char* type) {
  PlistDictionary settings;
  settings[text::kCommandType] = type;
  return settings;
}

// Graphs saved before the style and canvas settings had their own entries
// begin with the main axis, which then held the canvas settings and the
// font styles.
PlistArray convertFromMainAxisFirst(const PlistDictionary* style, const PlistDictionary* canvas,
                                    const PlistArray& commands) {
  const PlistDictionary& axis = commands.front().dictionary();
  PlistDictionary newStyle = style ? *style : settingsOfType(text::kStyleSettings);
  PlistDictionary newCanvas;
  if (canvas) {
    newCanvas = *canvas;
  } else {
    newCanvas = settingsOfType(text::kCanvasSettings);
    for (const char* key : text::kCanvasKeysFromMainAxis)
      if (auto found = axis.find(key); found != axis.end()) newCanvas[key] = found->second;
    if (auto found = axis.find(text::kAxisLabelsFontColor); found != axis.end())
      newCanvas[text::kTitleFontColor] = found->second;
  }
  // The style settings size the axis numbers and titles from the font
  // styles; the label sizes stay with the main axis, which reserves them.
  for (const char* key : {text::kSettingsShared[0], text::kSettingsShared[1]})
    if (auto found = axis.find(key); found != axis.end() && !newStyle.count(key)) newStyle[key] = found->second;

  PlistArray graph;
  graph.reserve(commands.size() + 2);
  graph.emplace_back(std::move(newStyle));
  graph.emplace_back(std::move(newCanvas));
  graph.insert(graph.end(), commands.begin(), commands.end());
  return graph;
}

// Drops the commands no kind reads, noting their types.
PlistArray keepKnownCommands(const PlistArray& graph, std::vector<std::string>& dropped) {
  PlistArray kept;
  kept.reserve(graph.size());
  for (std::size_t i = 0; i < graph.size(); ++i) {
    const auto type = graph[i].stringForKey(text::kCommandType);
    // The first two entries are the style and canvas settings whatever they
    // say, so a damaged one is replaced rather than shifting the commands.
    if (i < 2) {
      const char* wanted = i == 0 ? text::kStyleSettings : text::kCanvasSettings;
      if (graph[i].isDictionary() && type == std::string(wanted)) {
        kept.push_back(graph[i]);
      } else {
        dropped.push_back(type.value_or(""));
        kept.emplace_back(settingsOfType(wanted));
      }
      continue;
    }
    if (type && isKnownCommandType(*type))
      kept.push_back(graph[i]);
    else
      dropped.push_back(type.value_or(""));
  }
  while (kept.size() < 2) kept.emplace_back(settingsOfType(kept.empty() ? text::kStyleSettings : text::kCanvasSettings));
  return kept;
}

}  // namespace

bool isKnownCommandType(const std::string& type) {
  return std::find(text::kCommandTypes.begin(), text::kCommandTypes.end(), type) != text::kCommandTypes.end();
}

PlistArray emptyStoredGraph() {
  return PlistArray{settingsOfType(text::kStyleSettings), settingsOfType(text::kCanvasSettings)};
}

StoredGraphs graphsFromContent(const PlistDictionary& content) {
  StoredGraphs result;
  if (auto views = content.find(text::kDrawingViews);
      views != content.end() && views->second.isArray() && !views->second.array().empty()) {
    for (const auto& graph : views->second.array()) {
      if (graph.isArray())
        result.graphs.push_back(keepKnownCommands(graph.array(), result.droppedTypes));
      else
        result.graphs.push_back(emptyStoredGraph());
    }
    if (auto current = content.find(text::kCurrentGraph); current != content.end() && current->second.isNumber()) {
      const std::int64_t index = current->second.integer();
      if (index >= 0 && std::size_t(index) < result.graphs.size()) result.current = std::size_t(index);
    }
    return result;
  }

  const auto dictionaryAt = [&content](const char* key) -> const PlistDictionary* {
    auto found = content.find(key);
    return found != content.end() && found->second.isDictionary() ? &found->second.dictionary() : nullptr;
  };
  const PlistDictionary* style = dictionaryAt(text::kStyle);
  const PlistDictionary* canvas = dictionaryAt(text::kCanvas);
  static const PlistArray kNoCommands;
  const auto commandsEntry = content.find(text::kCommands);
  const PlistArray& commands =
      commandsEntry != content.end() && commandsEntry->second.isArray() ? commandsEntry->second.array() : kNoCommands;

  PlistArray graph;
  if ((!style || !canvas) && !commands.empty() &&
      commands.front().stringForKey(text::kCommandType) == std::string(text::kMainAxis)) {
    graph = convertFromMainAxisFirst(style, canvas, commands);
  } else {
    graph.emplace_back(style ? PropertyList(*style) : PropertyList(settingsOfType(text::kStyleSettings)));
    graph.emplace_back(canvas ? PropertyList(*canvas) : PropertyList(settingsOfType(text::kCanvasSettings)));
    graph.insert(graph.end(), commands.begin(), commands.end());
  }
  result.graphs.push_back(keepKnownCommands(graph, result.droppedTypes));
  return result;
}

void addGraphEnvelope(PlistDictionary& content, const std::vector<PlistArray>& graphs, std::size_t current) {
  if (graphs.empty()) return;
  if (graphs.size() == 1) {
    const PlistArray& graph = graphs.front();
    content[text::kStyle] = graph.size() > 0 ? graph[0] : PropertyList(settingsOfType(text::kStyleSettings));
    content[text::kCanvas] = graph.size() > 1 ? graph[1] : PropertyList(settingsOfType(text::kCanvasSettings));
    content[text::kCommands] = PlistArray(graph.begin() + std::min<std::size_t>(2, graph.size()), graph.end());
    return;
  }
  PlistArray views;
  views.reserve(graphs.size());
  for (const auto& graph : graphs) views.emplace_back(graph);
  content[text::kDrawingViews] = std::move(views);
  content[text::kCurrentGraph] = std::int64_t(std::min(current, graphs.size() - 1));
}

}  // namespace orrelin
