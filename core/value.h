// A value as a command receives it: its text, its type code, and the number the text reads as,
// worked out the first time it is asked for and kept beside the text until the text changes.
// Values are text whenever a script looks at them; the number is only a cache.
#pragma once

#include <string>
#include <utility>

#include "core/typecode.h"

namespace yume {

class TValue {
 public:
  TValue() = default;
  TValue(std::string text, TTypeCode type) : text_(std::move(text)), type_(std::move(type)) {}

  const std::string& Text() const { return text_; }
  // The text handed over; the value is left empty.
  std::string TakeText() {
    hasNumber_ = false;
    return std::move(text_);
  }
  // The type code: "s" text, "e" number, "hs" dictionary pairs, "" untyped, or a word's own
  // type text.
  const TTypeCode& Type() const { return type_; }
  bool IsNumber() const { return type_ == "e"; }

  // The text read as a number; reading never fails (what is no number counts as 0).
  long double Number() const {
    if (!hasNumber_) {
      number_ = ReadNumber(text_);
      hasNumber_ = true;
    }
    return number_;
  }

 private:
  static long double ReadNumber(const std::string& text);

  std::string text_;
  TTypeCode type_;
  mutable long double number_ = 0;
  mutable bool hasNumber_ = false;
};

}  // namespace yume
