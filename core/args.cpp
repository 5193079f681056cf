#include "core/args.h"

#include <new>

#include "core/bind.h"
#include "core/error.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/sjis.h"
#include "core/yumebase.h"

namespace yume {

long double TValue::ReadNumber(const std::string& text) {
  return StrToNumber(text);
}

TArgs::TArgs(TYumeBase& y, const THashNode& command, size_t slots)
    : y_(y), command_(command), count_(slots), omitted_(y.OmittedFilled) {
  if (count_ > kInlineSlots) {
    more_ = std::make_unique<unsigned char[]>(count_ * sizeof(TSlot));
    slots_ = reinterpret_cast<TSlot*>(more_.get());
  }
  // Binding left the slots on top of the stack, the last one on top. A stack holding fewer
  // (a call that skipped binding) leaves the first slots missing: asking for one raises.
  // Phrases a plan bound come with where their names were found last time; only this command
  // takes them (a call made while it runs binds its own).
  if (y.BoundRefs && y.BoundRefs->size() == count_ && y.Args.Count() >= count_) {
    refs_ = y.BoundRefs;
    names_ = y.BoundNames;
  }
  y.BoundRefs = nullptr;
  y.BoundNames = nullptr;
  TStack& args = y.Args;
  const size_t present = std::min(count_, args.Count());
  const size_t base = args.Count() - present;
  missing_ = count_ - present;
  for (size_t k = 0; k < missing_; ++k) {
    TSlot* s = new (&slots_[k]) TSlot(std::string());
    s->State = kTaken;
  }
  for (size_t k = 0; k < present; ++k)
    new (&slots_[missing_ + k]) TSlot(std::move(args.At(base + k)));
  args.Drop(present);
}

TArgs::~TArgs() {
  // When the handler failed, what it never asked for stays on the stack, in slot order.
  for (size_t k = 0; k < count_; ++k) {
    if (!done_ && k >= missing_ && slots_[k].State == kPending)
      y_.Args.Push(std::move(slots_[k].Phrase));
    slots_[k].~TSlot();
  }
}

const std::string& TArgs::Name() const {
  return command_.Name;
}

TArgs::TSlot& TArgs::Slot(size_t i) {
  if (i >= count_ || i < missing_) {
    RaiseArgumentError(y_, command_.Name, Subst(msg::kTooFewArguments, {command_.Pattern}));
  }
  return slots_[i];
}

TArgs::TSlot& TArgs::Taken(size_t i) {
  TSlot& s = Slot(i);
  if (s.State == kPending) s.State = kTaken;
  return s;
}

namespace {

// "`…`" with no backquote inside (none at a character's place: a second byte may be one).
bool IsPlainBackquoted(std::string_view p) {
  if (p.size() < 3 || p.front() != '`' || p.back() != '`') return false;
  return FindCharAligned(p.substr(1), '`') == p.size() - 2;
}

}  // namespace

const TValue& TArgs::Value(size_t i) {
  TSlot& s = Slot(i);
  if (s.State != kEvaluated) {
    s.State = kTaken;  // taken off the stack before it is evaluated, evaluated or not
    if (IsPlainDigits(s.Phrase)) {
      s.Value = TValue(s.Phrase, "e");  // its own value
    } else if (IsPlainBackquoted(s.Phrase)) {
      // A literal as written (a literal phrase of a statement read once comes so): its inside.
      s.Value = TValue(s.Phrase.substr(1, s.Phrase.size() - 2), "s");
    } else {
      std::string v = EvaluateText(y_, s.Phrase);
      s.Value = TValue(std::move(v), y_.LastType);
    }
    s.State = kEvaluated;
  }
  return s.Value;
}

std::string TArgs::TakeText(size_t i) {
  Value(i);
  return slots_[i].Value.TakeText();
}

int64_t TArgs::Whole(size_t i) {
  return TruncCount(Number(i));
}

int64_t TArgs::IntegerText(size_t i, int64_t def) {
  int64_t n = def;
  return ParseIntText(Text(i), n) ? n : def;
}

const std::string& TArgs::TextInPlace(size_t i) {
  if (THashNode* w = NamedWord(i); w && w->Kind == wkVariable) return w->ValueText();
  return Text(i);
}

uint32_t TArgs::Color(size_t i) {
  return ReadColor(Text(i));
}

const std::string& TArgs::Phrase(size_t i) {
  return Taken(i).Phrase;
}

std::string TArgs::TakePhrase(size_t i) {
  return std::move(Taken(i).Phrase);
}

THashNode* TArgs::NamedWord(size_t i) {
  const std::string& p = Phrase(i);
  if (p.empty() || p.front() == '`') return nullptr;
  // The phrase as the plan bound it (a handler never changes a phrase in place): looked up
  // where it was found last time.
  if (refs_ && p == (*names_)[i]) return y_.Dict.FindRemembered(p, (*refs_)[i]);
  return y_.Dict.FindScoped(p, false);
}

namespace {

std::string_view Unquoted(std::string_view name) {
  if (name.size() >= 2 && name.front() == '`' && name.back() == '`') {
    name.remove_prefix(1);
    name.remove_suffix(1);
  }
  return name;
}

}  // namespace

THashNode& TArgs::Word(size_t i) {
  const std::string_view name = Unquoted(Phrase(i));
  THashNode* w = y_.Dict.FindScoped(name, false);
  if (!w) RaiseError(y_, msg::kWordUnknown, {name});
  return *w;
}

THashNode& TArgs::WordOrNew(size_t i) {
  const std::string_view name = Unquoted(Phrase(i));
  if (THashNode* w = y_.Dict.FindScoped(name, false)) return *w;
  auto fresh = THashNode::MakeVariable(std::string(name), false, y_.WordLevel(), "");
  THashNode& w = *fresh;
  y_.Dict.Add(std::move(fresh));
  return w;
}

void TArgs::Point(size_t i, int& x, int& y) {
  ParsePoint(y_, Phrase(i), x, y);
}

std::vector<int> TArgs::Coordinates(size_t i) {
  return CoordinateValues(y_, Phrase(i));
}

void TArgs::ArgumentError(std::string_view detail) const {
  RaiseArgumentError(y_, command_.Name, detail);
}

void TArgs::RangeError() const {
  RaiseRangeError(y_);
}

void TArgs::ReadOnlyError(std::string_view name) const {
  RaiseReadOnly(y_, name);
}

}  // namespace yume
