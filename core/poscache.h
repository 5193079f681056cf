// What the interpreter works out once per place in a working text (a statement's reading, an
// expression's split, a もし chain), kept by that place.
//
// Only a place asked for a second time gets its entry: a script read straight through once
// never pays for working anything out. A registered working text never changes while it lives;
// when one goes away the caller's generation changes and everything kept is forgotten. Entries are
// handed out as plain pointers: an entry in use (a statement still running, an expression still
// being evaluated) may outlive the forgetting, so forgotten entries are only freed once no
// TPositionUse is alive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace yume {

// Marks a stretch of work that holds entries of any TPositionCache.
class TPositionUse {
 public:
  TPositionUse() { ++depth_; }
  ~TPositionUse() { --depth_; }
  TPositionUse(const TPositionUse&) = delete;
  TPositionUse& operator=(const TPositionUse&) = delete;
  static bool Idle() { return depth_ == 0; }

 private:
  static inline int depth_ = 0;
};

template <class T>
class TPositionCache {
 public:
  // The entry kept for the place (a, b), made by make() (a std::unique_ptr<T>, possibly null)
  // the second time the place is asked for: code that runs once (a long script read straight
  // through) is never worth working out. Null (read afresh) the first time; null entries are
  // kept too.
  // Changes whenever entries are forgotten: a pointer handed out while it had another value may
  // be gone.
  uint64_t Epoch() const { return epoch_; }

  template <class Make>
  T* Get(uint64_t generation, const void* a, uintptr_t b, Make&& make) {
    if (generation != generation_) Forget(generation);
    if (!retired_.empty() && TPositionUse::Idle()) retired_.clear();
    const uintptr_t ka = reinterpret_cast<uintptr_t>(a);
    TSlot* seen = nullptr;
    if (!slots_.empty()) {
      for (size_t i = Hash(ka, b) & mask_;; i = (i + 1) & mask_) {
        TSlot& s = slots_[i];
        if (!s.Used) break;
        if (s.A == ka && s.B == b) {
          if (!s.SeenOnce) return s.Value;
          seen = &s;
          break;
        }
      }
    }
    if (!seen) {
      Insert(ka, b, nullptr, true);
      return nullptr;
    }
    std::unique_ptr<T> made = make();
    T* raw = made.get();
    // make() may have used this cache (a nested reading): the slot is found again.
    if (generation_ != generation) return raw ? Keep(std::move(made)) : nullptr;
    TSlot* slot = Find(ka, b);
    if (slot) {
      slot->Value = raw;
      slot->SeenOnce = false;
    } else {
      Insert(ka, b, raw, false);
    }
    if (made) Keep(std::move(made));
    return raw;
  }

 private:
  struct TSlot {
    uintptr_t A = 0;
    uintptr_t B = 0;
    T* Value = nullptr;
    bool Used = false;
    bool SeenOnce = false;  // asked for once: nothing made yet
  };
  static constexpr size_t kLimit = 200000;

  static size_t Hash(uintptr_t a, uintptr_t b) {
    return static_cast<size_t>(((a * 0x9E3779B97F4A7C15ull) ^ (b * 0xC2B2AE3D27D4EB4Full)) >> 20);
  }

  TSlot* Find(uintptr_t a, uintptr_t b) {
    if (slots_.empty()) return nullptr;
    for (size_t i = Hash(a, b) & mask_;; i = (i + 1) & mask_) {
      TSlot& s = slots_[i];
      if (!s.Used) return nullptr;
      if (s.A == a && s.B == b) return &s;
    }
  }

  void Insert(uintptr_t a, uintptr_t b, T* value, bool seenOnce) {
    if (count_ >= kLimit) Forget(generation_);
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    for (size_t i = Hash(a, b) & mask_;; i = (i + 1) & mask_) {
      TSlot& s = slots_[i];
      if (s.Used) continue;
      s = TSlot{a, b, value, true, seenOnce};
      break;
    }
    ++count_;
  }

  T* Keep(std::unique_ptr<T> made) {
    T* raw = made.get();
    owned_.push_back(std::move(made));
    return raw;
  }

  void Forget(uint64_t generation) {
    generation_ = generation;
    ++epoch_;
    for (auto& p : owned_) retired_.push_back(std::move(p));
    owned_.clear();
    if (TPositionUse::Idle()) retired_.clear();
    for (TSlot& s : slots_) s = TSlot{};
    count_ = 0;
  }

  void Grow() {
    std::vector<TSlot> old = std::move(slots_);
    slots_.assign(old.empty() ? 256 : old.size() * 2, TSlot{});
    mask_ = slots_.size() - 1;
    for (const TSlot& s : old) {
      if (!s.Used) continue;
      for (size_t i = Hash(s.A, s.B) & mask_;; i = (i + 1) & mask_) {
        if (slots_[i].Used) continue;
        slots_[i] = s;
        break;
      }
    }
  }

  uint64_t generation_ = 0;
  uint64_t epoch_ = 0;
  std::vector<TSlot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
  std::vector<std::unique_ptr<T>> owned_;
  std::vector<std::unique_ptr<T>> retired_;
};

// The entries last handed out for a few places, by address, in front of a cache: a call in a
// loop or a recursion asks for the same few places again and again. An entry holds while the
// generation is the same and the cache has forgotten nothing since (its epoch).
template <class T, size_t N = 16>
class TPositionMemo {
 public:
  T* Find(const TPositionCache<T>& cache, uint64_t generation, const void* a, uintptr_t b) const {
    const TEntry& e = entries_[Slot(a)];
    if (e.A != a || e.B != b || e.Generation != generation || e.Epoch != cache.Epoch())
      return nullptr;
    return e.Value;
  }
  void Remember(const TPositionCache<T>& cache, uint64_t generation, const void* a, uintptr_t b,
                T* value) {
    entries_[Slot(a)] = TEntry{a, b, generation, cache.Epoch(), value};
  }
  // The entry remembered for the place, else the one get() finds in the cache (remembered when
  // there is one).
  template <class Get>
  T* FindOr(const TPositionCache<T>& cache, uint64_t generation, const void* a, uintptr_t b,
            Get&& get) {
    if (T* v = Find(cache, generation, a, b)) return v;
    T* v = get();
    if (v) Remember(cache, generation, a, b, v);
    return v;
  }

 private:
  struct TEntry {
    const void* A = nullptr;
    uintptr_t B = 0;
    uint64_t Generation = 0;
    uint64_t Epoch = 0;
    T* Value = nullptr;
  };
  static size_t Slot(const void* a) {
    const auto k = reinterpret_cast<uintptr_t>(a);
    return static_cast<size_t>((k ^ (k >> 7)) % N);
  }
  TEntry entries_[N];
};

// The reading of a text inside a working text (an expression, an argument list), kept in cache
// and made by read(text, T&) (false: nothing worth keeping). Null for an empty text, for a text
// outside the registered working texts (values, temporaries) and the first time it is asked for.
// Valid while a TPositionUse is alive. Base is the interpreter state (TYumeBase).
template <class T, class Base, class Read>
const T* TextReading(TPositionCache<const T>& cache, const Base& y, std::string_view text,
                     Read&& read) {
  if (text.empty() || !y.Plans || !y.InRegisteredText(text.data())) return nullptr;
  return cache.Get(y.TextsGeneration, text.data(), text.size(), [&]() -> std::unique_ptr<const T> {
    auto made = std::make_unique<T>();
    if (!read(text, *made)) return nullptr;
    return made;
  });
}

}  // namespace yume
