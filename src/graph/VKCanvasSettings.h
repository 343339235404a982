#pragma once
// The page of a graph ("Canvas Settings"): the page background, the
// background of the plot area and the foreground, the page size (automatic
// or typed as "5in,3in"), the magnification, how extra axes share the plot
// area (stacked or joined), the overall title and the margin overrides.

#include <memory>
#include <optional>
#include <string>

#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKDrawingCommand.h"
#include "platform/PageGeometry.h"

namespace orrelin {

class VKStyleSettings;

// The page size text: a comma-separated pair of formulas with the length
// units as constants. Explains why a text gives no size.
class VKDrawingSizeController : public VKTextInputController {
 public:
  using VKTextInputController::VKTextInputController;
  const char* className() const override { return "VKDrawingSizeController"; }
  std::optional<std::string> errorExplanation() const override;
};

class VKCanvasSettings : public VKDrawingCommand {
 public:
  // "Drawing Size Method" tags.
  enum SizeMethod { kAutomaticSize = 1, kSpecifiedSize = 2 };
  // "Stacking Choice" tags: x then y.
  enum Stacking { kStackStack = 1, kJoinStack = 2, kStackJoin = 3, kJoinJoin = 4 };

  VKCanvasSettings() : VKDrawingCommand(false) {}
  static std::shared_ptr<VKCanvasSettings> create();
  // A page of "5in,3in".
  static std::shared_ptr<VKCanvasSettings> createForCommandLine();

  std::string type() const override;
  bool canExclude() const override { return false; }
  bool canHide() const override { return false; }
  bool hasMagnificationChoice() const override { return false; }
  void finishConnections() override;
  // Also reads the older colour keys of the backgrounds and the foreground.
  void fillFromPropertyList(const PropertyList& list) override;

  // The page size the settings ask for; (0, 0) when automatic or when the
  // text does not give one.
  KRSize overwriteSizeWith() const;
  double drawingMagnification() const;
  // The size a text gives, each side clamped to 3 ... 30000 points; none
  // with the reason when it gives none.
  static std::optional<KRSize> sizeFromText(const std::string& text, std::string* problem = nullptr);
  // The length units and their sizes in points.
  static const std::map<std::string, double, std::less<>>& knownLengthConstants();

  bool stackX() const;
  bool stackY() const;

  // The margins the entries ask for: the proposed one when the entry is
  // empty or does not compute, else the entry's value (with Width and
  // Height the page size) held to -10000 ... 10000.
  double modifySpaceBelow(double proposed, KRSize drawingSize) const;
  double modifySpaceAbove(double proposed, KRSize drawingSize) const;
  double modifySpaceOnLeft(double proposed, KRSize drawingSize) const;
  double modifySpaceOnRight(double proposed, KRSize drawingSize) const;

  // The fills; none when the setting fills nothing.
  std::shared_ptr<KRDrawingBasic> addBackground(const KRRect& rect, bool resolutionIndependent) const;
  std::shared_ptr<KRDrawingBasic> addAxisBackground(const KRRect& rect, bool resolutionIndependent) const;
  std::shared_ptr<KRDrawingBasic> addForeground(const KRRect& rect, bool resolutionIndependent) const;
  bool shouldExportBackground() const { return exportBackground_->isSelected(); }

  // The overall title, centred at the point (its base line's middle); none
  // when there is no title.
  const std::string& plotTitle() const { return title_->text(); }
  std::shared_ptr<KRDrawingBasic> plotTitleAt(KRPoint point, const VKStyleSettings& style) const;
  // The room the title takes above the plot area.
  double titleSpace(const VKStyleSettings& style) const;

  VKMenuInputController& sizeMethod() { return *sizeMethod_; }
  VKDrawingSizeController& sizeText() { return *sizeText_; }
  VKMenuInputController& stackingChoice() { return *stacking_; }
  VKTextInputController& marginEntry(const std::string& which);
  VKTextInputController& title() { return *title_; }
  VKFillStyleInputController& background() { return *background_; }
  VKFillStyleInputController& axisBackground() { return *axisBackground_; }
  VKButtonInputController& exportBackground() { return *exportBackground_; }

 private:
  double modifiedSpace(const VKTextInputController& entry, double proposed, KRSize drawingSize) const;

  std::shared_ptr<VKTokenTextController> title_;
  std::shared_ptr<VKFontStyleInputController> titleFont_;
  std::shared_ptr<VKFillStyleInputController> background_;
  std::shared_ptr<VKButtonInputController> exportBackground_;
  std::shared_ptr<VKFillStyleInputController> axisBackground_;
  std::shared_ptr<VKFillStyleInputController> foreground_;
  std::shared_ptr<VKMenuInputController> sizeMethod_;
  std::shared_ptr<VKDrawingSizeController> sizeText_;
  std::shared_ptr<VKMenuInputController> magnification_;
  std::shared_ptr<VKMenuInputController> stacking_;
  std::shared_ptr<VKTextInputController> above_;
  std::shared_ptr<VKTextInputController> below_;
  std::shared_ptr<VKTextInputController> left_;
  std::shared_ptr<VKTextInputController> right_;
};

}  // namespace orrelin
