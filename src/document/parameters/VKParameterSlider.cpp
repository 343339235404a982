#include "VKParameterSlider.h"

#include <cmath>

#include "document/parameters/ParameterTexts.h"
#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin {

namespace texts = parameter_texts;

namespace {

// A date literal (year:month:day...) is the one number token with a colon.
bool textHoldsADate(const std::string& text) {
  auto tokens = KRExpression::splitIntoTokens(text);
  if (!tokens) return false;
  for (const auto& token : *tokens)
    if (token.expType() == KRTokenNumber && token.tokenName().find(':') != std::string::npos) return true;
  return false;
}

struct RangeResult {
  bool valid = false;
  double min = 0;
  double max = 0;
  std::string error;
};

RangeResult evaluateRange(const std::string& text) {
  RangeResult result;
  auto values = KRExpression::evaluateArrayOfNumbersFromString(text);
  if (!values) {
    result.error = texts::kRangeNotEvaluated;
    return result;
  }
  if (values->length() != 2) {
    result.error = texts::kRangeNeedsTwoValues;
    return result;
  }
  const double* v = values->constDoublePointer();
  if (v[0] > v[1]) {
    result.error = texts::kRangeMinAboveMax;
  } else if (!std::isfinite(v[0]) || !std::isfinite(v[1])) {
    result.error = texts::kRangeNotFinite;
  } else {
    result.valid = true;
    result.min = v[0];
    result.max = v[1];
  }
  return result;
}

}  // namespace

VKParameterSlider::VKParameterSlider() = default;

std::string VKParameterSlider::type() const { return texts::kTypeSlider; }

void VKParameterSlider::applyRange(const std::string& text) {
  valueOfRange_ = text;
  RangeResult range = evaluateRange(text);
  sliderIsValid_ = range.valid;
  errorWhenEvaluatingRange_ = range.error;
  if (range.valid) {
    minSliderValue_ = range.min;
    maxSliderValue_ = range.max;
    sliderIsDate_ = textHoldsADate(text);
  }
  setEntryValidity(range.valid, range.error);
}

void VKParameterSlider::setRangeString(const std::string& text) {
  applyRange(text);
  // The value stays; what changed is what the slider and the animation
  // offer, which those who use the parameter are told about all the same.
  valueChanged();
}

double VKParameterSlider::valueToReturn() const {
  return integerOption_ ? std::round(currentSliderValue_) : currentSliderValue_;
}

void VKParameterSlider::setCurrent(double value, std::string text) {
  currentSliderValue_ = value;
  contentOfValue_ = std::move(text);
}

void VKParameterSlider::setSliderValue(double value) {
  double before = valueToReturn();
  setCurrent(value, texts::numberText(value));
  double after = valueToReturn();
  if (before != after && !(std::isnan(before) && std::isnan(after))) valueChanged();
}

void VKParameterSlider::setIntegerOption(bool onlyIntegers) {
  if (onlyIntegers == integerOption_) return;
  double before = valueToReturn();
  integerOption_ = onlyIntegers;
  if (valueToReturn() != before) valueChanged();
}

void VKParameterSlider::setValue(const std::string& text) {
  auto number = numberFromValueText(text, texts::kSliderValueNotEvaluated);
  if (!number) return;
  setCurrent(*number, text);
  valueChanged();
}

PropertyList VKParameterSlider::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  auto& dict = list.dictionary();
  dict.emplace(texts::kKeyRange, valueOfRange_);
  dict.emplace(texts::kKeyMin, minSliderValue_);
  dict.emplace(texts::kKeyMax, maxSliderValue_);
  dict.emplace(texts::kKeySliderValue, currentSliderValue_);
  dict.emplace(texts::kKeyEnabled, sliderIsValid_);
  dict.emplace(texts::kKeyValue, contentOfValue_);
  dict.emplace(texts::kKeyExactValue, valueToReturn());
  dict.emplace(texts::kKeyIntegerValues, integerOption_);
  return list;
}

void VKParameterSlider::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  // The stored bounds count until the range text says otherwise, so a range
  // that no longer evaluates keeps the slider where it was.
  auto min = list.numberForKey(texts::kKeyMin);
  auto max = list.numberForKey(texts::kKeyMax);
  if (min && max && std::isfinite(*min) && std::isfinite(*max) && *min <= *max) {
    minSliderValue_ = *min;
    maxSliderValue_ = *max;
  }
  if (auto text = list.stringForKey(texts::kKeyRange))
    applyRange(*text);
  else if (min && max && minSliderValue_ == *min && maxSliderValue_ == *max)
    applyRange(texts::numberText(*min) + "," + texts::numberText(*max));
  if (auto integers = list.booleanForKey(texts::kKeyIntegerValues)) integerOption_ = *integers;
  std::optional<double> value = list.numberForKey(texts::kKeySliderValue);
  if (!value) value = list.numberForKey(texts::kKeyExactValue);
  auto text = list.stringForKey(texts::kKeyValue);
  if (!value && text) value = KRExpression::evaluateNumberFromString(*text);
  if (value && std::isfinite(*value)) setCurrent(*value, text.value_or(texts::numberText(*value)));
}

}  // namespace orrelin
