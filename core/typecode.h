// The type code of the last value produced: "s" (text), "e" (number), "hs" (dictionary pairs)
// or empty. Read and set at every term of every expression, so it lives inline; a longer code
// (a word's own type text) is kept as it is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace yume {

class TTypeCode {
 public:
  TTypeCode() = default;
  TTypeCode(const char* s) { Set(s); }         // NOLINT(google-explicit-constructor)
  TTypeCode(const std::string& s) { Set(s); }  // NOLINT(google-explicit-constructor)
  TTypeCode& operator=(const char* s) {
    Set(s);
    return *this;
  }
  TTypeCode& operator=(const std::string& s) {
    Set(s);
    return *this;
  }
  bool operator==(const char* s) const { return View() == std::string_view(s); }
  bool operator==(const std::string& s) const { return View() == s; }
  bool empty() const { return !long_ && len_ == 0; }
  std::string_view View() const {
    return long_ ? std::string_view(*long_) : std::string_view(short_, len_);
  }
  operator std::string() const { return std::string(View()); }  // NOLINT

 private:
  void Set(std::string_view s) {
    // The usual codes are one or two bytes: copied directly, without a call.
    if (s.size() <= 2 && !long_) {
      if (s.size() > 0) short_[0] = s[0];
      if (s.size() > 1) short_[1] = s[1];
      len_ = static_cast<uint8_t>(s.size());
      return;
    }
    SetOther(s);
  }
  void SetOther(std::string_view s) {
    if (s.size() <= sizeof short_) {
      for (size_t i = 0; i < s.size(); ++i) short_[i] = s[i];
      len_ = static_cast<uint8_t>(s.size());
      long_.reset();
    } else {
      long_ = std::make_unique<std::string>(s);
    }
  }
  char short_[7] = {};
  uint8_t len_ = 0;
  std::unique_ptr<std::string> long_;
};

}  // namespace yume
