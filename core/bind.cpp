#include "core/bind.h"

#include "core/error.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

std::vector<std::string> PatternParticles(std::string_view pattern) {
  std::vector<std::string_view> views(PatternSlotViews(pattern, nullptr, 0));
  PatternSlotViews(pattern, views.data(), views.size());
  return {views.begin(), views.end()};
}

size_t PatternSlotViews(std::string_view pattern, std::string_view* out, size_t max) {
  // One pass over the bytes: every call of a command binds through its pattern. "," and blanks
  // are never second bytes.
  const char* p = pattern.data();
  const size_t len = pattern.size();
  auto blank = [p](size_t i) { return static_cast<unsigned char>(p[i]) <= 32; };
  size_t n = 0;
  for (size_t i = 0;;) {
    size_t b = i;
    while (b < len && blank(b)) ++b;
    if (n == 0 && b == len) return 0;  // a pattern of blanks takes nothing
    size_t e = b;
    while (e < len && p[e] != ',') ++e;
    const size_t comma = e;
    while (e > b && blank(e - 1)) --e;
    if (b < e && p[b] == '?') ++b;
    if (n < max) out[n] = std::string_view(p + b, e - b);
    ++n;
    if (comma >= len) break;
    i = comma + 1;
  }
  return n;
}

bool ParticleMatches(std::string_view phrase, std::string_view particle, size_t* len) {
  if (len) *len = particle.size();
  if (EndsWith(phrase, particle)) return true;
  static const std::string_view kTo = "と", kWo = "を", kNo = "の", kNi = "に", kHe = "へ";
  auto alt = [&](std::string_view a) { return EndsWith(phrase, a); };
  bool ok = false;
  if (particle == kTo || particle == kNo) {
    ok = alt(kWo);
  } else if (particle == kWo) {
    ok = alt(kTo) || alt(kNo);
  } else if (particle == kNi) {
    ok = alt(kHe);
  } else if (particle == kHe) {
    ok = alt(kNi);
  }
  return ok;  // every equivalent has the particle's own length
}

size_t BindArguments(TYumeBase& y, const THashNode& word) {
  // The particles as views into the pattern; the common short patterns need no allocation.
  std::string_view fixed[16];
  std::vector<std::string_view> more;
  std::string_view* slots = fixed;
  const size_t n = PatternSlotViews(word.Pattern, fixed, std::size(fixed));
  if (n > std::size(fixed)) {
    more.resize(n);
    PatternSlotViews(word.Pattern, more.data(), n);
    slots = more.data();
  }
  TStack& args = y.Args;

  if (n == args.Count() + 1) {
    args.Insert(0, y.ParticleFree ? std::string("それ") : "それ" + std::string(slots[0]));
    y.OmittedFilled = true;
  } else {
    y.OmittedFilled = false;
  }
  if (args.Count() < n) {
    RaiseArgumentError(y, word.Name, Subst(msg::kTooFewArguments, {word.Pattern}));
  }

  // The usual case: the phrases stand in the pattern's order, one per slot, each with its
  // particle (or without, where particles are not needed). Taking them from the last slot back
  // would find each where it stands, so they are only stripped in place.
  if (args.Count() == n) {
    size_t lens[16];
    bool inOrder = n <= std::size(lens);
    for (size_t k = 0; inOrder && k < n; ++k) {
      if (!ParticleMatches(args.Peek(k), slots[k], &lens[k])) {
        if (!y.ParticleFree) inOrder = false;
        lens[k] = 0;
      }
    }
    if (inOrder) {
      for (size_t k = 0; k < n; ++k) {
        if (lens[k]) {
          std::string& a = args.At(k);
          a.resize(a.size() - lens[k]);
        }
      }
      return n;
    }
  }

  std::vector<std::string> taken(n);
  for (size_t k = n; k-- > 0;) {
    const std::string_view particle = slots[k];
    bool found = false;
    for (size_t i = args.Count(); i-- > 0;) {
      const std::string& phrase = args.Peek(i);
      size_t len = 0;
      bool matches = ParticleMatches(phrase, particle, &len);
      if (!matches && !y.ParticleFree) continue;
      std::string arg = args.Take(i);
      if (matches) arg.resize(arg.size() - len);
      taken[k] = std::move(arg);
      found = true;
      break;
    }
    if (!found) {
      RaiseArgumentError(y, word.Name, Subst(msg::kPatternExpected, {word.Pattern, particle}));
    }
  }
  for (auto& a : taken) args.Push(std::move(a));
  if (args.Count() > 5000) {
    RaiseError(y, "スタックが一杯になりました。ラベルなどに再帰呼び出しがないか確認！");
  }
  return n;
}

}  // namespace yume
