#include "graph/VKCanvasSettings.h"

#include <cmath>

#include "drawing/KRDrawingPath.h"
#include "expression/KRExpression.h"
#include "expression/KRExpressionErrorHandler.h"
#include "graph/GraphTexts.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/FillDrawing.h"
#include "mathtext/KRDrawingExpressionText.h"

namespace orrelin {

namespace {

using namespace graphtext;

constexpr double kSmallestSide = 3;
constexpr double kLargestSide = 30000;
constexpr double kLargestMargin = 10000;

std::shared_ptr<VKMenuInputController> menu(std::vector<VKMenuEntry> entries, int tag) {
  return std::make_shared<VKMenuInputController>(std::move(entries), tag);
}

// The parts of a text between commas that are not inside brackets.
std::vector<std::string> splitAtTopLevelCommas(const std::string& text) {
  std::vector<std::string> parts(1);
  int depth = 0;
  for (char c : text) {
    if (c == '(' || c == '[' || c == '{') ++depth;
    if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      parts.emplace_back();
      continue;
    }
    parts.back() += c;
  }
  return parts;
}

// A formula's value with the given names bound and the rest looked up among
// the document's parameters; none when it does not compute.
std::optional<double> evaluateWith(const std::string& text, const std::map<std::string, double, std::less<>>& known,
                                   const CommandDocument* document) {
  KRExpressionErrorHandler errors;
  auto expression = KRExpression::createFromString(text, &errors);
  if (!expression || errors.hasError()) return std::nullopt;
  std::map<std::string, double, std::less<>> arguments;
  for (const auto& name : expression->unknowns()) {
    if (auto found = known.find(name); found != known.end()) {
      arguments.emplace(name, found->second);
      continue;
    }
    std::optional<double> value = document ? document->parameters().valueForParameter(name) : std::nullopt;
    if (!value) return std::nullopt;
    arguments.emplace(name, *value);
  }
  return expression->evaluateNumberWithArguments(arguments);
}

std::string withText(const char* pattern, const std::string& text) {
  std::string out = pattern;
  auto at = out.find("%@");
  if (at != std::string::npos) out.replace(at, 2, text);
  return out;
}

// Older documents kept the fills as plain colours.
void convertOlderColor(PlistDictionary& list, const char* oldKey, const char* newKey) {
  auto found = list.find(oldKey);
  if (found == list.end()) return;
  if (!list.count(newKey)) {
    if (auto color = VKColorInputController::colorFromPropertyList(found->second)) {
      VKFillStyleInputController fill(VKFillStyle{2, *color});
      if (auto stored = fill.propertyList()) list[newKey] = *stored;
    }
  }
  list.erase(found);
}

}  // namespace

std::optional<std::string> VKDrawingSizeController::errorExplanation() const {
  std::string problem;
  if (VKCanvasSettings::sizeFromText(text(), &problem)) return std::nullopt;
  return problem;
}

std::shared_ptr<VKCanvasSettings> VKCanvasSettings::create() {
  auto settings = std::make_shared<VKCanvasSettings>();
  settings->finishConnections();
  return settings;
}

std::shared_ptr<VKCanvasSettings> VKCanvasSettings::createForCommandLine() {
  auto settings = create();
  settings->sizeMethod_->setTag(kSpecifiedSize);
  settings->sizeText_->setText(kCommandLineSize);
  return settings;
}

std::string VKCanvasSettings::type() const { return kCanvasSettingsType; }

void VKCanvasSettings::finishConnections() {
  title_ = std::make_shared<VKTokenTextController>();
  connect(title_, kTitle);
  titleFont_ = std::make_shared<VKFontStyleInputController>(VKFontStyle{2, "Helvetica", 14, KRColor::black()});
  connect(titleFont_, kTitleFontStyle);
  background_ = std::make_shared<VKFillStyleInputController>(VKFillStyle{2, KRColor::white()});
  connect(background_, kBackground);
  exportBackground_ = std::make_shared<VKButtonInputController>(true);
  connect(exportBackground_, kExportBackground);
  axisBackground_ = std::make_shared<VKFillStyleInputController>(VKFillStyle{1, KRColor::white()});
  connect(axisBackground_, kAxisBackground);
  foreground_ = std::make_shared<VKFillStyleInputController>(VKFillStyle{1, KRColor::white()});
  connect(foreground_, kForeground);
  sizeMethod_ = menu({{kAutomaticSize, "Automatic"}, {kSpecifiedSize, "Specified"}}, kAutomaticSize);
  connect(sizeMethod_, kDrawingSizeMethod);
  sizeText_ = std::make_shared<VKDrawingSizeController>(kCommandLineSize);
  connect(sizeText_, kDrawingSize);
  magnification_ = menu({{1, "100%"}, {2, "50%"}, {3, "75%"}, {4, "125%"}, {5, "150%"}, {6, "200%"}, {7, "400%"}}, 1);
  connect(magnification_, kDrawingMagnification);
  stacking_ = menu({{kStackStack, "Stack X, Stack Y"},
                    {kJoinStack, "Join X, Stack Y"},
                    {kStackJoin, "Stack X, Join Y"},
                    {kJoinJoin, "Join X, Join Y"}},
                   kJoinStack);
  connect(stacking_, kStackingChoice);
  above_ = std::make_shared<VKTextInputController>();
  connect(above_, kAbove);
  below_ = std::make_shared<VKTextInputController>();
  connect(below_, kBelow);
  left_ = std::make_shared<VKTextInputController>();
  connect(left_, kLeft);
  right_ = std::make_shared<VKTextInputController>();
  connect(right_, kRight);
  VKDrawingCommand::finishConnections();
}

void VKCanvasSettings::fillFromPropertyList(const PropertyList& list) {
  if (!list.isDictionary()) {
    VKDrawingCommand::fillFromPropertyList(list);
    return;
  }
  PropertyList converted = list;
  convertOlderColor(converted.dictionary(), kOldForegroundColor, kForeground);
  convertOlderColor(converted.dictionary(), kOldAxisBackgroundColor, kAxisBackground);
  convertOlderColor(converted.dictionary(), kOldBackgroundColor, kBackground);
  VKDrawingCommand::fillFromPropertyList(converted);
}

const std::map<std::string, double, std::less<>>& VKCanvasSettings::knownLengthConstants() {
  static const std::map<std::string, double, std::less<>> constants{
      {"Inch", 72},   {"in", 72},    {"inch", 72},         {"inches", 72},
      {"cm", 28.346456692913385},    {"mm", 2.834645669291339},
      {"px", 1},      {"pts", 1},    {"points", 1}};
  return constants;
}

std::optional<KRSize> VKCanvasSettings::sizeFromText(const std::string& text, std::string* problem) {
  auto parts = splitAtTopLevelCommas(text);
  if (parts.size() != 2) {
    if (problem) *problem = kNeedTwoEntries;
    return std::nullopt;
  }
  double sides[2];
  for (int i = 0; i < 2; ++i) {
    auto value = evaluateWith(parts[i], knownLengthConstants(), nullptr);
    if (!value) {
      if (problem) *problem = withText(kCannotExtractSize, text);
      return std::nullopt;
    }
    if (!std::isfinite(*value)) {
      if (problem) *problem = kNoValidSize;
      return std::nullopt;
    }
    sides[i] = std::clamp(*value, kSmallestSide, kLargestSide);
  }
  return KRSize{sides[0], sides[1]};
}

KRSize VKCanvasSettings::overwriteSizeWith() const {
  if (sizeMethod_->tag() == kAutomaticSize) return {0, 0};
  return sizeFromText(sizeText_->text()).value_or(KRSize{0, 0});
}

double VKCanvasSettings::drawingMagnification() const {
  switch (magnification_->tag()) {
    case 2: return 0.5;
    case 3: return 0.75;
    case 4: return 1.25;
    case 5: return 1.5;
    case 6: return 2;
    case 7: return 4;
    default: return 1;
  }
}

bool VKCanvasSettings::stackX() const { return stacking_->tag() == kStackStack || stacking_->tag() == kStackJoin; }
bool VKCanvasSettings::stackY() const { return stacking_->tag() == kStackStack || stacking_->tag() == kJoinStack; }

double VKCanvasSettings::modifiedSpace(const VKTextInputController& entry, double proposed, KRSize size) const {
  if (entry.text().empty()) return proposed;
  std::map<std::string, double, std::less<>> known{{kWidthVariable, size.width}, {kHeightVariable, size.height}};
  auto value = evaluateWith(entry.text(), known, commandDocument());
  if (!value || !std::isfinite(*value)) return proposed;
  return std::clamp(*value, -kLargestMargin, kLargestMargin);
}

double VKCanvasSettings::modifySpaceBelow(double proposed, KRSize size) const {
  return modifiedSpace(*below_, proposed, size);
}
double VKCanvasSettings::modifySpaceAbove(double proposed, KRSize size) const {
  return modifiedSpace(*above_, proposed, size);
}
double VKCanvasSettings::modifySpaceOnLeft(double proposed, KRSize size) const {
  return modifiedSpace(*left_, proposed, size);
}
double VKCanvasSettings::modifySpaceOnRight(double proposed, KRSize size) const {
  return modifiedSpace(*right_, proposed, size);
}

VKTextInputController& VKCanvasSettings::marginEntry(const std::string& which) {
  if (which == kAbove) return *above_;
  if (which == kBelow) return *below_;
  if (which == kLeft) return *left_;
  return *right_;
}

std::shared_ptr<KRDrawingBasic> VKCanvasSettings::addBackground(const KRRect& rect, bool) const {
  return fillOverRectangle(background_->style(), rect);
}
std::shared_ptr<KRDrawingBasic> VKCanvasSettings::addAxisBackground(const KRRect& rect, bool) const {
  return fillOverRectangle(axisBackground_->style(), rect);
}
std::shared_ptr<KRDrawingBasic> VKCanvasSettings::addForeground(const KRRect& rect, bool) const {
  return fillOverRectangle(foreground_->style(), rect);
}

double VKCanvasSettings::titleSpace(const VKStyleSettings& style) const {
  if (title_->text().empty()) return 0;
  auto font = style.drawingFont(titleFont_->style());
  KRSize size = KRDrawingExpressionText::sizeOfString(title_->text(), *font);
  return std::ceil(size.height + 0.5 * font->fontSize());
}

std::shared_ptr<KRDrawingBasic> VKCanvasSettings::plotTitleAt(KRPoint point, const VKStyleSettings& style) const {
  if (title_->text().empty()) return nullptr;
  return KRDrawingExpressionText::multiLineString(title_->text(), point, style.drawingFont(titleFont_->style()),
                                                  KRTextAlignment::Center, KRTextAlignment::Center,
                                                  KRTextVerticalAlignment::Bottom);
}

}  // namespace orrelin
