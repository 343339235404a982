#pragma once
// The block tree of math text: what a text's tokens become, laid out with
// real font metrics, drawn into a graphics context and written as SVG.
//
// Every block is laid out with its origin on its base line at (0, 0); a
// block that holds others lays them out first and then moves them into place
// with shiftBy, so that after layout every block's position is relative to
// the origin of the whole tree (y up). The formulas are in docs/math-text.md.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/KRSVGStream.h"
#include "mathtext/KRDrawingExpressionToken.h"
#include "mathtext/KRMathNames.h"
#include "platform/GraphicsContext.h"
#include "platform/TextSystem.h"

namespace orrelin {

// The font style that reaches a block: changed for what follows by state
// changers, and made smaller for scripts and fraction parts.
struct KRMathFontStyle {
  KRFontFace face;
  double size = 12;
  KRColor color = KRColor::black();
};

// The metrics of fonts, per font name: measured from the font files the
// first time a font is used, unless set for the name beforehand (as a
// metrics resource shipped with the application would). Values are for a
// size of 1 point; the angle is in degrees.
class KRMathFontMetrics {
 public:
  static KRFontMetrics fontMetricsForFontName(const std::string& name);
  static void setFontMetrics(const KRFontMetrics& metrics, const std::string& forFontName);
  // The names whose metrics have been set.
  static std::vector<std::string> fontMetrics();
  // The metrics of a face at a size: a set entry for its family (bold and
  // italic faces share it), else the measured face.
  static KRFontMetrics metricsFor(const KRFontFace& face, double size);
};

// How colours go to the device in one drawing pass.
struct KRMathDrawState {
  bool printingToPS = false;
  bool disableTransparency = false;
  KRColor deviceColor(const KRColor& color) const;
};

// A rule, radical or decoration: a path in the tree's coordinates, filled
// or stroked in a colour.
class KRMathPath {
 public:
  void moveTo(double x, double y) { elements_.push_back({'M', {x, y}}); }
  void lineTo(double x, double y) { elements_.push_back({'L', {x, y}}); }
  void curveTo(double x1, double y1, double x2, double y2, double x, double y) {
    elements_.push_back({'C', {x1, y1, x2, y2, x, y}});
  }
  void closePath() { elements_.push_back({'z', {}}); }
  void shiftBy(double dx, double dy);

  bool filled = true;
  double lineWidth = 1;
  KRColor color = KRColor::black();

  void draw(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const;
  // The path data ("M %g %g ", "L %g %g ", "C ... ", "z") with y written as shiftYBy - y.
  std::string svgData(double shiftYBy) const;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy) const;

 private:
  struct Element {
    char op;
    std::vector<double> v;
  };
  std::vector<Element> elements_;
};

class KRDrawingExpressionBlockList;

class KRDrawingExpressionBlock {
 public:
  virtual ~KRDrawingExpressionBlock() = default;
  virtual const char* className() const = 0;

  // Text to block tree.
  static std::unique_ptr<KRDrawingExpressionBlockList> createFromString(std::string_view text);
  static std::unique_ptr<KRDrawingExpressionBlockList> createFromBlockedTokens(const KRDrawingExpressionTokens& tokens);

  // Lays the block out with the style at the origin. A state changer changes
  // the style for what follows it; other blocks leave it alone.
  virtual void prepareForFontStyle(KRMathFontStyle& style) = 0;
  // Places scripts (each laid out at the origin) beside this block, itself
  // laid out at the origin; either may be null. Big operators and limits put
  // them under and over instead.
  virtual void positionAsSubscript(KRDrawingExpressionBlock* subscript, KRDrawingExpressionBlock* superscript);
  // The room this block keeps after its scripts (0 but for words).
  virtual double spaceAfterScripts() const { return 0; }
  virtual void shiftBy(double dx, double dy);
  virtual void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const = 0;
  // SVG with y written as shiftYBy - y. A kind without an SVG form reports it.
  virtual void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const;
  // Whether the point (in the tree's coordinates) falls on the block's frame.
  virtual bool hitCheck(KRPoint point) const;

  // After layout: the frame, the base line, the extents above and below the
  // base line (the line's and the ink's), and the metrics of the block's font.
  KRRect frame() const { return {x_, y_ - descent_, width_, ascent_ + descent_}; }
  double baseLine() const { return y_; }
  double x() const { return x_; }
  double width() const { return width_; }
  double ascent() const { return ascent_; }
  double descent() const { return descent_; }
  double inkAscent() const { return inkAscent_; }
  double inkDescent() const { return inkDescent_; }
  double xHeight() const { return metrics_.xHeight; }
  double ascender() const { return metrics_.ascender; }
  double descender() const { return metrics_.descender; }
  double capHeight() const { return metrics_.capHeight; }
  double digitHeight() const { return metrics_.digitHeight; }
  double italicAngle() const { return metrics_.italicAngle; }
  const KRMathFontStyle& fontStyle() const { return style_; }

 protected:
  // Takes the style and its metrics; the extents start empty.
  void beginLayout(const KRMathFontStyle& style);
  // Grows the extents to take in a placed child.
  void include(const KRDrawingExpressionBlock& child);

  double x_ = 0, y_ = 0;
  double width_ = 0, ascent_ = 0, descent_ = 0, inkAscent_ = 0, inkDescent_ = 0;
  KRFontMetrics metrics_;
  KRMathFontStyle style_;
};

// A run of plain characters.
class KRDrawingExpressionBlockString : public KRDrawingExpressionBlock {
 public:
  explicit KRDrawingExpressionBlockString(std::string text) : text_(std::move(text)) {}
  const char* className() const override { return "KRDrawingExpressionBlockString"; }
  const std::string& text() const { return text_; }
  // Where the marks end, from the block's left edge (beyond the width for
  // glyphs that lean or overhang).
  double inkRight() const { return shape_.measure.inkRight; }
  void prepareForFontStyle(KRMathFontStyle& style) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

 protected:
  // Lays the text out in the style, raised by rise against the base line.
  void layOutText(const KRMathFontStyle& style, double rise);

  std::string text_;
  KRShapedText shape_;
  double rise_ = 0;
};

// Blocks side by side on one base line; state changes carry forward.
class KRDrawingExpressionBlockList : public KRDrawingExpressionBlock {
 public:
  const char* className() const override { return "KRDrawingExpressionBlockList"; }
  void addBlock(std::unique_ptr<KRDrawingExpressionBlock> block) { members_.push_back(std::move(block)); }
  const std::vector<std::unique_ptr<KRDrawingExpressionBlock>>& members() const { return members_; }
  std::unique_ptr<KRDrawingExpressionBlock> takeLastBlock() {
    auto last = std::move(members_.back());
    members_.pop_back();
    return last;
  }
  void prepareForFontStyle(KRMathFontStyle& style) override;
  void shiftBy(double dx, double dy) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

 private:
  std::vector<std::unique_ptr<KRDrawingExpressionBlock>> members_;
};

class KRDrawingExpressionBlockSuperSubscript : public KRDrawingExpressionBlock {
 public:
  static std::unique_ptr<KRDrawingExpressionBlockSuperSubscript> createMainBlock(
      std::unique_ptr<KRDrawingExpressionBlock> main, std::unique_ptr<KRDrawingExpressionBlock> superscript,
      std::unique_ptr<KRDrawingExpressionBlock> subscript);
  const char* className() const override { return "KRDrawingExpressionBlockSuperSubscript"; }
  KRDrawingExpressionBlock* mainBlock() const { return main_.get(); }
  KRDrawingExpressionBlock* superscript() const { return superscript_.get(); }
  KRDrawingExpressionBlock* subscript() const { return subscript_.get(); }
  void setSuperscript(std::unique_ptr<KRDrawingExpressionBlock> b) { superscript_ = std::move(b); }
  void setSubscript(std::unique_ptr<KRDrawingExpressionBlock> b) { subscript_ = std::move(b); }

  void prepareForFontStyle(KRMathFontStyle& style) override;
  void shiftBy(double dx, double dy) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

 private:
  std::unique_ptr<KRDrawingExpressionBlock> main_, superscript_, subscript_;
};

class KRDrawingExpressionBlockFraction : public KRDrawingExpressionBlock {
 public:
  static std::unique_ptr<KRDrawingExpressionBlockFraction> createAbove(std::unique_ptr<KRDrawingExpressionBlock> above,
                                                                       std::unique_ptr<KRDrawingExpressionBlock> below);
  const char* className() const override { return "KRDrawingExpressionBlockFraction"; }
  KRDrawingExpressionBlock* above() const { return above_.get(); }
  KRDrawingExpressionBlock* below() const { return below_.get(); }
  // The rule: its height on the page, its ends and thickness.
  double ruleY() const { return ruleY_; }
  double ruleX1() const { return ruleX1_; }
  double ruleX2() const { return ruleX2_; }
  double ruleThickness() const { return rule_.lineWidth; }

  void prepareForFontStyle(KRMathFontStyle& style) override;
  void shiftBy(double dx, double dy) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

 private:
  std::unique_ptr<KRDrawingExpressionBlock> above_, below_;
  KRMathPath rule_;
  double ruleY_ = 0, ruleX1_ = 0, ruleX2_ = 0;
};

class KRDrawingExpressionBlockSquareRoot : public KRDrawingExpressionBlock {
 public:
  static std::unique_ptr<KRDrawingExpressionBlockSquareRoot> createWithArgument(
      std::unique_ptr<KRDrawingExpressionBlock> argument, std::unique_ptr<KRDrawingExpressionBlock> root);
  const char* className() const override { return "KRDrawingExpressionBlockSquareRoot"; }
  KRDrawingExpressionBlock* argument() const { return argument_.get(); }
  KRDrawingExpressionBlock* root() const { return root_.get(); }
  // The top of the bar over the argument.
  double barTop() const { return barTop_; }

  void prepareForFontStyle(KRMathFontStyle& style) override;
  void shiftBy(double dx, double dy) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

 private:
  std::unique_ptr<KRDrawingExpressionBlock> argument_, root_;
  KRMathPath sign_;
  double barTop_ = 0;
};

// The base of the blocks made by backslash commands.
class KRDrawingExpressionBlockCommand : public KRDrawingExpressionBlock {
 public:
  static std::unique_ptr<KRDrawingExpressionBlockCommand> createWithName(const std::string& name);
  static std::unique_ptr<KRDrawingExpressionBlockCommand> createWithName(const std::string& name,
                                                                         std::unique_ptr<KRDrawingExpressionBlock> argument);
  const std::string& name() const { return name_; }
  KRDrawingExpressionBlock* argument() const { return argument_.get(); }

  // Made by createWithName, which picks the kind for the name.
  KRDrawingExpressionBlockCommand(std::string name, KRMathCommand command)
      : name_(std::move(name)), command_(std::move(command)) {}

 protected:
  std::string name_;
  KRMathCommand command_;
  std::unique_ptr<KRDrawingExpressionBlock> argument_;
};

// Changes colour or font style for the rest of its list; takes no room.
class KRDrawingExpressionBlockCommandStateChanger : public KRDrawingExpressionBlockCommand {
 public:
  using KRDrawingExpressionBlockCommand::KRDrawingExpressionBlockCommand;
  const char* className() const override { return "KRDrawingExpressionBlockCommandStateChanger"; }
  void prepareForFontStyle(KRMathFontStyle& style) override;
  void drawToContext(GraphicsContext&, KRPoint, const KRMathDrawState&) const override {}
  // Written by the enclosing list as the attributes of a group.
  void addToSVGStream(KRSVGStream&, const std::string&, double, KRSVGInfo&) const override {}
  std::string svgAttributes() const;
};

// A glyph or an upright word: a big operator, a limit, an arrow or a
// function name.
class KRDrawingExpressionBlockCommandIcon : public KRDrawingExpressionBlockCommand {
 public:
  using KRDrawingExpressionBlockCommand::KRDrawingExpressionBlockCommand;
  const char* className() const override { return "KRDrawingExpressionBlockCommandIcon"; }
  void prepareForFontStyle(KRMathFontStyle& style) override;
  void positionAsSubscript(KRDrawingExpressionBlock* subscript, KRDrawingExpressionBlock* superscript) override;
  void shiftBy(double dx, double dy) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

  // The room left after a function name or limit, before what follows.
  double spaceAfterScripts() const override { return spaceAfter_; }

 private:
  std::unique_ptr<KRDrawingExpressionBlockString> glyph_;
  double spaceAfter_ = 0;
};

// A line, brace or accent over or under the argument, or a line through it.
class KRDrawingExpressionBlockCommandOverUnder : public KRDrawingExpressionBlockCommand {
 public:
  using KRDrawingExpressionBlockCommand::KRDrawingExpressionBlockCommand;
  const char* className() const override { return "KRDrawingExpressionBlockCommandOverUnder"; }
  const std::vector<KRMathPath>& decorations() const { return decorations_; }
  const KRDrawingExpressionBlockString* accent() const { return accent_.get(); }
  void prepareForFontStyle(KRMathFontStyle& style) override;
  void shiftBy(double dx, double dy) override;
  void drawToContext(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const override;
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;

 private:
  std::vector<KRMathPath> decorations_;
  std::unique_ptr<KRDrawingExpressionBlockString> accent_;
};

}  // namespace orrelin
