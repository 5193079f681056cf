// The word dictionary: every name a script can use is a THashNode in a THash.
//
// A THash keeps 256 buckets chosen by the byte sum of the name; inside a bucket words stay in
// insertion order. That order is what scripts see when they list words (Nodes, KeysText), so
// it is kept exactly; lookups go through a second index beside the buckets.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

class THash;
class TCsvDb;
class TCharIndex;

// Word kinds.
enum TWordKind : uint8_t {
  wkCommand = 0,
  wkLabel = 2,
  wkVariable = 3,
  wkPart = 4,
  wkLibFunc = 5,
  wkDictionary = 6,
};

// Increases whenever a word is added to or removed from any dictionary, so that anything
// remembered about what a name means can tell when it may have changed.
inline uint64_t g_dictGeneration = 1;
inline uint64_t DictGeneration() {
  return g_dictGeneration;
}
inline void BumpDictGeneration() {
  ++g_dictGeneration;
}

// The text a value had when an append to it began, kept when something else writes the value
// (or ends the word) before the append is done (see AppendToVariable in core/assign.cpp).
struct TValuePin {
  std::string Old;
  bool Saved = false;
};

class THashNode {
 public:
  THashNode();
  THashNode(const THashNode&) = delete;
  THashNode& operator=(const THashNode&) = delete;
  ~THashNode();

  // A variable word (kind 3).
  static std::unique_ptr<THashNode> MakeVariable(std::string name, bool reserved, int level,
                                                 std::string value);

  std::string Name;
  std::string Pattern;  // command, label or library function: the argument pattern
  std::string
      TypeText;  // "s", "e", "" for variables; "ハッシュ" for dictionaries; part kind; label file
  uint8_t Kind = wkVariable;
  int32_t Tag = 0;               // handler number, level, part number
  const char* RefPos = nullptr;  // label body, or the position a variable was made at
  std::shared_ptr<THash> Items;  // dictionary items; a copy shares them
  void* Import = nullptr;        // library function: the import record (owned by the library list)
  bool Reserved = false;

  // The value text. With a table form it is rendered from the table, with a number kept in its
  // place it is written from the number (once per change).
  const std::string& ValueText() const {
    if (stale_) Render();
    return value_;
  }
  void SetValueText(std::string&& v) {
    BeforeWrite();
    if (table_ || numberForm_) DropForms();
    value_ = std::move(v);
  }
  void SetValueText(std::string_view v) {
    BeforeWrite();
    if (table_ || numberForm_) DropForms();
    value_.assign(v);
  }
  void SetValueText(const std::string& v) { SetValueText(std::string_view(v)); }
  void SetValueText(const char* v) { SetValueText(std::string_view(v)); }
  // Sets the type text, leaving it alone when it is that already (the usual case: a variable
  // keeps its type from one assignment to the next).
  void SetTypeText(std::string_view t) {
    // The usual one-letter codes inline, without the general assign (a fresh local takes "s"
    // on every call).
    if (t.size() == 1 && TypeText.size() <= 1) {
      if (TypeText.empty())
        TypeText.push_back(t[0]);
      else
        TypeText[0] = t[0];
      return;
    }
    if (t.empty()) {
      TypeText.clear();
      return;
    }
    if (TypeText.size() != t.size() || TypeText != t) TypeText.assign(t);
  }
  // A value set aside and put back (それ around a call): the text, or the number kept in its
  // place, moved out without being written; the node is left empty.
  struct TSetAside {
    std::string Text;
    long double Number = 0;
    int64_t Whole = 0;
    uint8_t Form = 0;
    bool Stale = false;
  };
  void SetAside(TSetAside& out);
  void PutBack(TSetAside&& in);
  // Direct access for appending in place; the caller must not keep the reference.
  std::string& MutableValue() {
    BeforeWrite();
    if (stale_) Render();
    if (table_ || numberForm_) DropForms();
    return value_;
  }

  // The value as a number. A whole number below 10^15 is kept as it is, its text written only
  // when something reads it (that text reads back as exactly the same number); any other number
  // is written as text at once, as it always is (15 significant digits). The type text is the
  // caller's to set.
  void SetNumberValue(long double n) {
    BeforeWrite();
    // The usual value, a whole number held as it is, inline.
    if (!table_ && n > -1e15L && n < 1e15L && n != 0 &&
        static_cast<long double>(static_cast<int64_t>(n)) == n) {
      number_ = n;
      whole_ = static_cast<int64_t>(n);
      numberForm_ = kNumberOnly;
      stale_ = true;
      return;
    }
    SetNumberValueSlow(n);
  }
  // Whole numbers below this in size are kept as they are; larger ones are written out at once
  // (15 significant digits), as every number is.
  static constexpr int64_t kWholeLimit = 1000000000000000;
  // SetNumberValue of a whole number.
  void SetWholeValue(int64_t n) {
    if (n <= -kWholeLimit || n >= kWholeLimit) {
      SetNumberValue(static_cast<long double>(n));  // written out at once, 15 digits
      return;
    }
    BeforeWrite();
    if (table_) DropForms();
    number_ = static_cast<long double>(n);
    whole_ = n;
    numberForm_ = kNumberOnly;
    stale_ = true;
  }
  // True, with the number, while the value is a number kept as one (set by SetNumberValue): its
  // text is, or will be, that number written out.
  bool KeptNumber(long double& n) const {
    if (numberForm_ != kNumberOnly && numberForm_ != kNumberWritten) return false;
    n = number_;
    return true;
  }
  // KeptNumber's number as the whole number it always is.
  bool KeptWhole(int64_t& n) const {
    if (numberForm_ != kNumberOnly && numberForm_ != kNumberWritten) return false;
    n = whole_;
    return true;
  }
  // The value read as a number (the lenient reading: what is no number counts as 0); read from
  // the text once and kept until the value changes.
  long double NumberOfValue() const;

  // Copies everything but the name; the value as text, never the table form.
  void Assign(const THashNode& other);
  // Makes this node what MakeVariable would make (for reuse of a node a closed scope left).
  void ResetAsVariable(std::string name, int level);
  void ResetAsVariable(int level);  // the same, keeping the name

  // "s" with a table form, else "" / "e" / "s" from the value.
  void InferType();

  // Element access through the table form of the value. The first access parses the value text
  // into a table; from then on the table is the value, until the value text is replaced.
  const TCsvDb* Table() const { return table_.get(); }  // nullptr before the first access
  std::string GetCell(int col, int row);
  std::string GetRow(int row);
  void SetCell(int col, int row, std::string text);
  void SetRow(int row, std::string_view text);
  void ReplaceTable(const TCsvDb& table);  // a deep copy

  // Where the value's characters start (see TCharIndex), kept until the value changes.
  const TCharIndex& CharIndex() const;

  // While pinned, the first write (or the word's end) keeps the value it replaces in the pin,
  // and unpins.
  void Pin(TValuePin* pin) { pin_ = pin; }
  bool Pinned() const { return pin_ != nullptr; }

 private:
  // kNumberOnly: the number is the value, its text not written yet; kNumberWritten: the same
  // with the text written; kTextRead: the text is the value, number_ is its reading.
  enum TNumberForm : uint8_t { kNoNumber, kNumberOnly, kNumberWritten, kTextRead };
  void SetNumberValueSlow(long double n);
  TCsvDb& TableForm();
  void Render() const;  // value_ from the table or the number
  void DropTable(bool keep_text);
  void DropForms();  // the table and the number are forgotten; value_ is the value
  void SaveForPin() const;
  // Before the value changes: the pin served, the character index dropped.
  void BeforeWrite() const {
    if (pin_ || chars_) BeforeWriteSlow();
  }
  void BeforeWriteSlow() const;

  mutable std::string value_;  // stale while stale_ is set
  std::unique_ptr<TCsvDb> table_;
  mutable long double number_ = 0;
  int64_t whole_ = 0;  // number_ while it is a kept number
  mutable uint8_t numberForm_ = kNoNumber;
  mutable bool stale_ = false;  // value_ must be written from the table or the number first
  mutable TValuePin* pin_ = nullptr;
  mutable std::unique_ptr<TCharIndex> chars_;
};

// Where a local word stood: its scope (1 for the innermost, 2 for the one around it …; 0: none),
// its entry there, and whether the entry's name is the folded form.
struct TLocalPlace {
  uint32_t Scope = 0, Entry = 0;
  bool Folded = false;
};

// What a name meant in a dictionary's own table when last looked up (see
// THashYu::FindRemembered): kept by whoever looks the same name up again and again.
struct TNameRef {
  std::string Folded;  // empty when folding leaves the name as it is (or for exact lookups)
  unsigned BucketName = 0, BucketFolded = 0;
  bool Fold = true;
  THashNode* Word = nullptr;
  uint64_t Changes = 0;  // the table's change count when Word was found; 0: nothing yet
  // Where the name was last found among local words. A call's locals are entered in the same
  // order every time, so the next call, however deep, finds its words at the same places.
  TLocalPlace Local;
  void Prepare(std::string_view name, bool fold = true);
};

// The index beside a table's buckets: open addressing over (hash, word), the hash kept so that
// a probe touches a word only when its hash matches. Keys are the words' own names.
class TNameIndex {
 public:
  THashNode* Find(std::string_view name) const;
  void Insert(THashNode* word);  // the name must not be there
  void Erase(std::string_view name);
  void Clear();
  size_t Size() const { return size_; }
  template <class Fn>
  void ForEach(Fn&& fn) const {
    for (const TSlot& s : slots_)
      if (s.Word) fn(s.Word);
  }

 private:
  struct TSlot {
    uint64_t Hash = 0;
    THashNode* Word = nullptr;
  };
  static uint64_t HashOf(std::string_view name);
  void Grow();
  std::vector<TSlot> slots_;  // a power of two in size, at most 3/4 full
  size_t size_ = 0;
};

class THash {
 public:
  THash() = default;
  THash(const THash&) = delete;
  THash& operator=(const THash&) = delete;
  virtual ~THash();

  // Enters a word; a word of the same name is replaced in place (unless it is reserved, which
  // raises). Returns the word count; -1 for no word.
  int Add(std::unique_ptr<THashNode> word);

  THashNode* Find(std::string_view name, bool fold) const;
  // Deletes the folded name's word (with fold), then the name's; the count after the last
  // deletion, or -1 when nothing was deleted.
  int Delete(std::string_view name, bool fold);
  std::string ValueText(std::string_view name, bool fold) const;

  // All words, bucket 0 to 255, each bucket in insertion order.
  std::vector<THashNode*> Nodes() const;
  std::string KeysText() const;
  std::string PairsText() const;
  // "key=value" lines; lines without "=" continue the previous value.
  void LoadFromText(std::string_view text);

  void Clear();
  // Removes every word but keeps the table's storage.
  void Empty();
  int Count() const { return count_; }
  // Changes whenever a word is entered, replaced or deleted here.
  uint64_t Changes() const { return changes_; }
  template <class Fn>
  void ForEachName(Fn&& fn) const {
    index_.ForEach([&](const THashNode* w) { fn(std::string_view(w->Name)); });
  }
  // The word of exactly that name in the given bucket (Bucket(name)); a plain scan.
  THashNode* FindInBucket(unsigned bucket, std::string_view name) const;

  // The bucket of a name: its byte sum modulo 256.
  static unsigned Bucket(std::string_view name);

 protected:
  THashNode* FindExact(std::string_view name) const { return index_.Find(name); }
  bool DeleteExact(std::string_view name);

 private:
  using Bucket_t = std::vector<std::unique_ptr<THashNode>>;
  std::vector<Bucket_t> buckets_;  // 256 once the first word arrives
  TNameIndex index_;
  int count_ = 0;
  uint64_t changes_ = 1;
};

// Names of local words are short: compared in place rather than through memcmp.
inline bool SameName(const std::string& a, std::string_view b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  if (n > 16) return a == b;
  const char* p = a.data();
  const char* q = b.data();
  for (size_t i = 0; i < n; ++i)
    if (p[i] != q[i]) return false;
  return true;
}

// One local scope: few words, found by a scan that compares buckets before names.
class TScopeTable {
 public:
  // The word and its entry's place.
  THashNode* Find(unsigned bucket, std::string_view name, uint32_t& entry) const {
    for (size_t i = 0; i < live_; ++i) {
      const TEntry& e = words_[i];
      if (e.Bucket == bucket && SameName(e.Word->Name, name)) {
        entry = static_cast<uint32_t>(i);
        return e.Word.get();
      }
    }
    return nullptr;
  }
  // The word at an entry when it has that name.
  THashNode* At(uint32_t entry, unsigned bucket, std::string_view name) const {
    if (entry >= live_) return nullptr;
    const TEntry& e = words_[entry];
    return e.Bucket == bucket && SameName(e.Word->Name, name) ? e.Word.get() : nullptr;
  }
  // Enters a word; one of the same name is replaced in place (a reserved one raises). True
  // when the word is new here.
  bool Add(std::unique_ptr<THashNode> word);
  // The node parked at the next entry when it has this name and no word of the scope does:
  // entered again as it is (the caller makes it a fresh variable); null otherwise.
  THashNode* TakeParked(unsigned bucket, std::string_view name) {
    if (live_ >= words_.size() || !words_[live_].Word) return nullptr;
    TEntry& next = words_[live_];
    if (next.Bucket != bucket || !SameName(next.Word->Name, name)) return nullptr;
    uint32_t entry;
    if (Find(bucket, name, entry)) return nullptr;
    ++live_;
    return next.Word.get();
  }
  // The node parked at the next entry, handed over (for the caller to use again); null when
  // there is none.
  std::unique_ptr<THashNode> ReleaseParked() {
    if (live_ >= words_.size()) return nullptr;
    return std::move(words_[live_].Word);
  }
  bool Empty() const { return live_ == 0; }
  // Ends the scope: each word's bucket is handed to fn; the nodes stay, parked, for the next
  // scope opened at this depth (a call makes its locals in the same order every time).
  template <class Fn>
  void Park(Fn&& fn) {
    for (size_t i = 0; i < live_; ++i) fn(words_[i].Bucket);
    live_ = 0;
  }

 private:
  struct TEntry {
    unsigned Bucket;
    std::unique_ptr<THashNode> Word;
  };
  std::vector<TEntry> words_;  // [0, live_) the scope's words, the rest parked
  size_t live_ = 0;
};

// The dictionary with local scopes: the table itself is the global scope.
class THashYu : public THash {
 public:
  THashNode* FindScoped(std::string_view name, bool fold) const;
  // FindScoped(name, ref.Fold) for a name looked up again and again: while no local word shares
  // its buckets and the table is unchanged, the word found last time is the answer.
  THashNode* FindRemembered(std::string_view name, TNameRef& ref) const {
    if (StillRemembered(ref)) return ref.Word;
    return FindRememberedSlow(name, ref);
  }
  // FindRemembered for names that are usually locals of the running call (the operands of an
  // expression): the place in the innermost scope where the word stood last time is tried
  // inline too.
  THashNode* FindRememberedOperand(std::string_view name, TNameRef& ref) const {
    if (StillRemembered(ref)) return ref.Word;
    const TLocalPlace& at = ref.Local;
    if (at.Scope == 1 && !at.Folded && depth_ > 0)
      if (THashNode* w = Innermost().At(at.Entry, ref.BucketName, name)) return w;
    return FindRememberedSlow(name, ref);
  }
  void AddLocal(std::unique_ptr<THashNode> word);
  // A new empty local variable of the innermost scope (as AddLocal of a new variable), made
  // from the node a closed scope left parked at its place (calls make and end locals all the
  // time, in the same order: the node there usually has the name already).
  // The new variable's node.
  THashNode* AddLocalVariable(std::string_view name, int level);
  void PushScope();
  void PopScope();
  size_t ScopeCount() const { return depth_; }
  void ClearScopes();

 private:
  // The usual case, inline: no local word in the name's buckets, the table as it was.
  bool StillRemembered(const TNameRef& ref) const {
    return ref.Changes == Changes() && localsInBucket_[ref.BucketName] == 0 &&
           (ref.Folded.empty() || localsInBucket_[ref.BucketFolded] == 0);
  }
  THashNode* FindRememberedSlow(std::string_view name, TNameRef& ref) const;
  // The local word of the name, the scopes from the innermost out (null: none); the name's
  // folded form and both buckets worked out by the caller. Where it was found is kept in
  // remember when there is one.
  THashNode* FindLocal(std::string_view name, std::string_view folded, unsigned bucketName,
                       unsigned bucketFolded, TLocalPlace* remember) const;
  TScopeTable& Innermost() const { return *scopes_[depth_ - 1]; }
  // [0, depth_) the open scopes, innermost last; the tables beyond are closed ones kept, with
  // their parked nodes, for the next scopes opened at those depths (calls open and close one
  // each time).
  std::vector<std::unique_ptr<TScopeTable>> scopes_;
  size_t depth_ = 0;
  std::vector<size_t> used_;  // indices of the scopes that ever held a word, lowest first
  std::array<uint32_t, 256> localsInBucket_{};  // local words per bucket, over all scopes
};

// Okurigana folding: hiragana that directly follow a non-hiragana two-byte character are
// dropped ("繰り返す" -> "繰返"); a name that would fold to nothing stays as it is.
std::string FoldName(std::string_view name);
// The same into a buffer the caller keeps (no allocation once it has grown).
void FoldNameInto(std::string_view name, std::string& out);

}  // namespace yume
