// The type code of the last value produced: "s" (text), "e" (number), "hs" (dictionary pairs)
// or empty. Read and set at every term of every expression, so it lives inline and the usual
// one- and two-letter codes are handled without a call; a longer code (a word's own type text)
// is kept as it is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace yume {

class TTypeCode {
 public:
  TTypeCode() = default;
  TTypeCode(const char* s) { *this = s; }      // NOLINT(google-explicit-constructor)
  TTypeCode(const std::string& s) { Set(s); }  // NOLINT(google-explicit-constructor)
  TTypeCode(const TTypeCode& o) { *this = o; }
  TTypeCode(TTypeCode&&) noexcept = default;
  TTypeCode& operator=(const TTypeCode& o) {
    if (this == &o) return *this;
    if (!o.long_ && !long_) {
      for (uint8_t i = 0; i < o.len_; ++i) short_[i] = o.short_[i];
      len_ = o.len_;
      return *this;
    }
    Set(o.View());
    return *this;
  }
  TTypeCode& operator=(TTypeCode&&) noexcept = default;
  [[gnu::always_inline]] TTypeCode& operator=(const char* s) {
    if (!long_) {
      if (s[0] == 0) {
        len_ = 0;
        return *this;
      }
      short_[0] = s[0];
      if (s[1] == 0) {
        len_ = 1;
        return *this;
      }
    }
    Set(s);
    return *this;
  }
  TTypeCode& operator=(const std::string& s) {
    Set(s);
    return *this;
  }
  bool operator==(const char* s) const {
    if (!long_) {
      for (uint8_t i = 0; i < len_; ++i)
        if (s[i] != short_[i]) return false;
      return s[len_] == 0;
    }
    return *long_ == s;
  }
  bool operator==(const std::string& s) const { return View() == s; }
  bool empty() const { return !long_ && len_ == 0; }
  std::string_view View() const {
    return long_ ? std::string_view(*long_) : std::string_view(short_, len_);
  }
  operator std::string() const { return std::string(View()); }  // NOLINT

 private:
  [[gnu::noinline]] void Set(std::string_view s) {
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
