// A state with words of the test's own, for the evaluator tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/term.h"
#include "core/yumebase.h"

namespace yume::evaltest {

// The message of the error raised by fn, or "" when it does not raise.
template <class Fn>
std::string ErrorOf(Fn&& fn) {
  try {
    fn();
  } catch (const EYume& e) {
    return e.what();
  }
  return "";
}

struct EvalTest : ::testing::Test {
  TYumeBase y;

  // The evaluator alone: words used as values are not run unless a test says how.
  EvalTest() {
    y.FileName = "t.ymr";
    y.CallForValue = nullptr;
  }

  THashNode* Var(std::string name, std::string value, std::string type = "") {
    auto w = THashNode::MakeVariable(std::move(name), false, 0, std::move(value));
    w->TypeText = std::move(type);
    THashNode* raw = w.get();
    y.Dict.Add(std::move(w));
    return raw;
  }

  THashNode* Word(std::string name, uint8_t kind) {
    auto w = std::make_unique<THashNode>();
    w->Name = std::move(name);
    w->Kind = kind;
    THashNode* raw = w.get();
    y.Dict.Add(std::move(w));
    return raw;
  }

  // A dictionary word whose items are loaded from "key=value" lines.
  THashNode* Dict(std::string name, std::string_view pairs) {
    THashNode* d = Word(std::move(name), wkDictionary);
    d->Items = std::make_shared<THash>();
    d->Items->LoadFromText(pairs);
    return d;
  }

  std::string Eval(std::string_view text) { return EvaluateText(y, text); }
  std::string Calc(std::string_view text) { return Calculate(y, text); }
  // "value:type" of EvaluateText.
  std::string Typed(std::string_view text) {
    std::string v = EvaluateText(y, text);
    return v + ":" + std::string(y.LastType);
  }
  std::string EvalError(std::string_view text) {
    return ErrorOf([&] { EvaluateText(y, text); });
  }
  std::string CalcError(std::string_view text) {
    return ErrorOf([&] { Calculate(y, text); });
  }
};

}  // namespace yume::evaltest
