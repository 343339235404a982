#include "expression/KRExpressionBlockProgram.h"

#include <algorithm>
#include <cmath>

#include "expression/KRExpressionEvaluation.h"

namespace orrelin {

KRExpressionBlockProgram::Slot KRExpressionBlockProgram::emit(Step step) {
  step.out = temporaries_++;
  steps_.push_back(step);
  Slot slot;
  slot.kind = Slot::Temporary;
  slot.temporary = step.out;
  return slot;
}

std::optional<KRExpressionBlockProgram::Slot> KRExpressionBlockProgram::compileNode(const KRExpressionNode& node) {
  Slot slot;
  switch (node.expType()) {
    case KRExpressionValueType:
      slot.scalar = static_cast<const KRExpressionValue&>(node).numberValue;
      return slot;
    case KRExpressionConstantType: {
      const std::string& name = static_cast<const KRExpressionConstant&>(node).constantName;
      if (const auto found = arrays_->find(name); found != arrays_->end()) {
        if (found->second.doubles) {
          slot.kind = Slot::Input;
          slot.input = found->second.doubles;
          return slot;
        }
        if (const auto done = widened_.find(name); done != widened_.end()) return done->second;
        Step step(Step::Widen);
        step.floats = found->second.floats;
        return widened_[name] = emit(step);
      }
      if (const KRValue* value = input_->valueFor(name)) {
        if (!value->isNumber()) return std::nullopt;
        slot.scalar = value->number();
        return slot;
      }
      if (input_->knownConstants) {
        if (const auto found = input_->knownConstants->find(name); found != input_->knownConstants->end()) {
          slot.scalar = found->second;
          return slot;
        }
      }
      return std::nullopt;  // the general evaluator reports the unknown name
    }
    case KRExpressionBinaryOperatorType: {
      const auto& op = static_cast<const KRExpressionBinaryOperator&>(node);
      if (op.functionType == KROperatorType::None) return std::nullopt;
      auto a = compileNode(*op.firstArgument);
      auto b = a ? compileNode(*op.secondArgument) : std::nullopt;
      if (!a || !b) return std::nullopt;
      if (a->kind == Slot::Scalar && b->kind == Slot::Scalar) {
        slot.scalar = applyNumberOperator(op.functionType, a->scalar, b->scalar);
        return slot;
      }
      Step step(Step::Operator);
      step.op = op.functionType;
      step.a = *a;
      step.b = *b;
      return emit(step);
    }
    case KRExpressionFunctionType: {
      const auto& f = static_cast<const KRExpressionFunction&>(node);
      if (f.functionType != KRFunctionType::BuiltIn || !f.argument) return std::nullopt;
      const KRBuiltin function = f.functionSelector;
      if (f.argument->expType() != KRExpressionListType) {
        auto x = compileNode(*f.argument);
        if (!x) return std::nullopt;
        if (function == KRBuiltin::Min || function == KRBuiltin::Max) return x;
        KRUnaryScalarFunction unary = unaryScalarFunction(function);
        if (!unary) return std::nullopt;
        if (x->kind == Slot::Scalar) {
          slot.scalar = unary(x->scalar);
          return slot;
        }
        Step step(Step::Unary);
        step.unary = unary;
        step.a = *x;
        return emit(step);
      }
      const auto& entries = static_cast<const KRExpressionList&>(*f.argument).expressionList;
      std::vector<Slot> slots;
      for (const auto& entry : entries) {
        auto s = compileNode(*entry);
        if (!s) return std::nullopt;
        slots.push_back(*s);
      }
      const auto binaryStep = [&](double (*fn)(double, double), const Slot& a, const Slot& b) {
        if (a.kind == Slot::Scalar && b.kind == Slot::Scalar) {
          Slot s;
          s.scalar = fn(a.scalar, b.scalar);
          return s;
        }
        Step step(Step::Binary);
        step.binary = fn;
        step.a = a;
        step.b = b;
        return emit(step);
      };
      switch (function) {
        case KRBuiltin::Min:
        case KRBuiltin::Max: {
          Slot result = slots[0];
          for (std::size_t k = 1; k < slots.size(); ++k)
            result = binaryStep(binaryScalarFunction(function), result, slots[k]);
          return result;
        }
        case KRBuiltin::Angle:
        case KRBuiltin::Mod:
        case KRBuiltin::Jn:
        case KRBuiltin::Yn: {
          if (slots.size() != 2) return std::nullopt;
          return binaryStep(binaryScalarFunction(function), slots[0], slots[1]);
        }
        case KRBuiltin::SignSwitch: {
          if (slots.size() != 3) return std::nullopt;
          Step step(Step::Select);
          step.a = slots[0];
          step.b = slots[1];
          step.c = slots[2];
          return emit(step);
        }
        default:
          return std::nullopt;
      }
    }
    default:
      return std::nullopt;
  }
}

std::optional<KRExpressionBlockProgram> KRExpressionBlockProgram::compile(
    const KRExpressionNode& root, const std::map<std::string, KRColumnElements, std::less<>>& arrays,
    const KRExpressionArgument& input) {
  KRExpressionBlockProgram program;
  program.arrays_ = &arrays;
  program.input_ = &input;
  auto result = program.compileNode(root);
  if (!result) return std::nullopt;
  program.result_ = *result;
  program.arrays_ = nullptr;
  program.input_ = nullptr;
  program.widened_.clear();
  return program;
}

void KRExpressionBlockProgram::run(std::size_t from, std::size_t count, double* out, std::vector<double>& scratch) const {
  const std::size_t needed = static_cast<std::size_t>(temporaries_) * kBlockSize;
  if (scratch.size() < needed) scratch.resize(needed);
  for (std::size_t start = 0; start < count; start += kBlockSize) {
    const std::size_t n = std::min(kBlockSize, count - start);
    const std::size_t offset = from + start;
    const auto pointer = [&](const Slot& s) -> const double* {
      if (s.kind == Slot::Input) return s.input + offset;
      if (s.kind == Slot::Temporary) return scratch.data() + std::size_t(s.temporary) * kBlockSize;
      return nullptr;
    };
    for (std::size_t k = 0; k < steps_.size(); ++k) {
      const Step& step = steps_[k];
      // The last step writes straight into the result.
      double* target = (k + 1 == steps_.size() && result_.kind == Slot::Temporary && result_.temporary == step.out)
                           ? out + start
                           : scratch.data() + std::size_t(step.out) * kBlockSize;
      const double* a = pointer(step.a);
      switch (step.kind) {
        case Step::Operator:
          combineElementWise(step.op, a, step.a.scalar, pointer(step.b), step.b.scalar, target, n);
          break;
        case Step::Unary:
          for (std::size_t i = 0; i < n; ++i) target[i] = step.unary(a[i]);
          break;
        case Step::Binary:
          combineElementWise(step.binary, a, step.a.scalar, pointer(step.b), step.b.scalar, target, n);
          break;
        case Step::Widen:
          for (std::size_t i = 0; i < n; ++i) target[i] = step.floats[offset + i];
          break;
        case Step::Select: {
          const double* b = pointer(step.b);
          const double* c = pointer(step.c);
          for (std::size_t i = 0; i < n; ++i)
            target[i] = builtinSignSwitch(a ? a[i] : step.a.scalar, b ? b[i] : step.b.scalar, c ? c[i] : step.c.scalar);
          break;
        }
      }
    }
    if (result_.kind == Slot::Scalar) {
      std::fill(out + start, out + start + n, result_.scalar);
    } else if (result_.kind == Slot::Input) {
      std::copy(result_.input + offset, result_.input + offset + n, out + start);
    }
  }
}

}  // namespace orrelin
