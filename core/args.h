// The arguments of one command call, as its handler sees them.
//
// When a command is called, the statement's phrases are bound to its pattern (core/bind.h) and
// taken off the argument stack into a TArgs, slot 0 first. The handler asks for slot i in the
// form it needs: evaluated (value, text, number …) or as written (the phrase, the word it
// names), in any order. A slot is evaluated when it is first asked for and kept, so the side
// effects of arguments (a function called inside one) happen in the order they are asked for:
// handlers ask from the last slot to the first, as the system always has. Asking for a slot the
// pattern does not have raises the command's argument error; nothing is ever "" by default.
//
// Errors raised through the view name the command that was called, even after an argument's
// evaluation has run other commands. When the handler fails (its caller never says Done), the
// slots it never asked for go back on the argument stack, as phrases that were never popped do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/value.h"

namespace yume {

struct TNameRef;

class TYumeBase;
class THashNode;

class TArgs {
 public:
  // Takes the slots of command's pattern (slots of them, as binding counted) off the top of the
  // argument stack.
  TArgs(TYumeBase& y, const THashNode& command, size_t slots);
  // Unless Done was called, the slots never asked for go back on the stack.
  ~TArgs();
  // The handler has ended normally: every slot is used up.
  void Done() { done_ = true; }
  TArgs(const TArgs&) = delete;
  TArgs& operator=(const TArgs&) = delete;

  TYumeBase& State() const { return y_; }
  // The command as it was called (its stored, folded name).
  const std::string& Name() const;
  size_t Count() const { return count_; }
  // The first slot was left out and それ stands in it.
  bool Omitted() const { return omitted_; }

  // ---- evaluated ----
  // The slot's value with its type; evaluated once, the same value on every later ask.
  const TValue& Value(size_t i);
  const std::string& Text(size_t i) { return Value(i).Text(); }
  // The text handed over (no copy); the slot keeps an empty value.
  std::string TakeText(size_t i);
  long double Number(size_t i) { return Value(i).Number(); }
  // The number truncated toward zero: a count or a position.
  int64_t Whole(size_t i);
  // The text read as an integer text (optional sign, digits and nothing else); def when it is
  // none.
  int64_t IntegerText(size_t i, int64_t def = 0);
  // A plain variable's value where it stands, without a copy (a large text is measured or
  // searched in place); anything else evaluated. Valid until the word changes, so it is asked
  // for after the other slots.
  const std::string& TextInPlace(size_t i);
  // A colour: "#RRGGBB", or a number with red in the low byte ("$" hexadecimal too); 0 when
  // unreadable.
  uint32_t Color(size_t i);

  // ---- as written ----
  // The phrase with its particle removed, not evaluated.
  const std::string& Phrase(size_t i);
  // The same handed over (no copy); the slot keeps an empty phrase.
  std::string TakePhrase(size_t i);
  // The word the phrase names as written (a quoted literal names none); null when none.
  THashNode* NamedWord(size_t i);
  // The word the phrase names (one pair of backquotes removed); raises 部品"X"が特定できません。
  // when there is none.
  THashNode& Word(size_t i);
  // The same, made as an empty variable of the current level when missing.
  THashNode& WordOrNew(size_t i);
  // A point "(x,y)", or a word holding one; both truncated to integers.
  void Point(size_t i, int& x, int& y);
  // The entries of a coordinate list "(a,b,…)" (or a word holding one), each evaluated and
  // truncated to an integer.
  std::vector<int> Coordinates(size_t i);

  // ---- errors naming the command ----
  // "<command>" 命令の引数に誤りがあります。 followed by detail.
  [[noreturn]] void ArgumentError(std::string_view detail = {}) const;
  [[noreturn]] void RangeError() const;
  [[noreturn]] void ReadOnlyError(std::string_view name) const;

  static constexpr size_t kInlineSlots = 4;  // no command has more

 private:
  enum TSlotState : uint8_t { kPending, kEvaluated, kTaken };
  struct TSlot {
    explicit TSlot(std::string&& phrase) : Phrase(std::move(phrase)) {}
    std::string Phrase;
    TValue Value;
    TSlotState State = kPending;
  };
  TSlot& Slot(size_t i);
  TSlot& Taken(size_t i);  // the slot, marked as asked for

  TYumeBase& y_;
  const THashNode& command_;
  size_t count_ = 0;
  size_t missing_ = 0;  // slots below this were not on the stack
  bool omitted_ = false;
  bool done_ = false;
  // The slots' phrases as a plan bound them, and where their names were found (see NamedWord).
  std::vector<TNameRef>* refs_ = nullptr;
  const std::vector<std::string>* names_ = nullptr;
  // Only the slots the pattern has are made: most commands have one or two.
  alignas(TSlot) unsigned char inline_[kInlineSlots * sizeof(TSlot)];
  std::unique_ptr<unsigned char[]> more_;
  TSlot* slots_ = reinterpret_cast<TSlot*>(inline_);
};

}  // namespace yume
