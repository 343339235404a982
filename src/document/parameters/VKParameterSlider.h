#pragma once
// A number chosen on a slider ("Slider"), between the two values of a range
// text. The document's animation parameter is one: its range gives the
// values an animation or a movie steps through.

#include <string>

#include "document/parameters/VKVariable.h"

namespace orrelin {

class VKParameterSlider final : public VKParameterController {
 public:
  VKParameterSlider();

  std::string type() const override;

  // The range text, evaluated as a list of two numbers (dates allowed). An
  // invalid text leaves the last valid minimum and maximum and makes the
  // slider invalid with the reason.
  const std::string& valueOfRange() const { return valueOfRange_; }
  void setRangeString(const std::string& text);
  double minSliderValue() const { return minSliderValue_; }
  double maxSliderValue() const { return maxSliderValue_; }
  bool sliderIsValid() const { return sliderIsValid_; }
  // The range was given as dates, so the value is a date too.
  bool sliderIsDate() const { return sliderIsDate_; }
  const std::string& errorWhenEvaluatingRange() const { return errorWhenEvaluatingRange_; }

  // The value as text and as number. The value is not held inside the range:
  // the range only bounds the slider and the animation.
  const std::string& contentOfValue() const { return contentOfValue_; }
  double currentSliderValue() const { return currentSliderValue_; }
  double valueToReturn() const;
  // Moves the slider (the animation does so for every frame).
  void setSliderValue(double value);

  // Restricts the value to whole numbers (rounded to the nearest).
  bool integerOption() const { return integerOption_; }
  void setIntegerOption(bool onlyIntegers);

  // The text is evaluated as one number; a text that gives none leaves the
  // value and posts a message.
  void setValue(const std::string& text) override;
  double valueOfVariable() const override { return valueToReturn(); }
  bool isNumber() const override { return true; }
  bool isDate() const override { return sliderIsDate_; }

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  // Evaluates the range text and keeps the result, without telling anyone.
  void applyRange(const std::string& text);
  void setCurrent(double value, std::string text);

  std::string valueOfRange_ = "0,1";
  double minSliderValue_ = 0;
  double maxSliderValue_ = 1;
  double currentSliderValue_ = 0;
  std::string contentOfValue_ = "0";
  bool integerOption_ = false;
  bool sliderIsValid_ = true;
  bool sliderIsDate_ = false;
  std::string errorWhenEvaluatingRange_;
};

}  // namespace orrelin
