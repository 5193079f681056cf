#include "core/hash.h"

#include <cmath>
#include <iterator>

#include "core/charindex.h"
#include "core/error.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "table/csvdb.h"

namespace yume {

// ---- THashNode ----

THashNode::THashNode() = default;
THashNode::~THashNode() {
  BeforeWrite();
}

void THashNode::BeforeWriteSlow() const {
  if (pin_) SaveForPin();
  chars_.reset();
}

const TCharIndex& THashNode::CharIndex() const {
  const std::string& s = ValueText();
  if (!chars_) chars_ = std::make_unique<TCharIndex>(s);
  return *chars_;
}

void THashNode::SaveForPin() const {
  TValuePin* pin = pin_;
  pin_ = nullptr;
  pin->Old = ValueText();
  pin->Saved = true;
}

std::unique_ptr<THashNode> THashNode::MakeVariable(std::string name, bool reserved, int level,
                                                   std::string value) {
  auto w = std::make_unique<THashNode>();
  w->Name = std::move(name);
  w->Reserved = reserved;
  w->Tag = level;
  w->Kind = wkVariable;
  w->value_ = std::move(value);
  return w;
}

void THashNode::Assign(const THashNode& other) {
  if (&other == this) return;
  BeforeWrite();
  if (table_) DropTable(false);
  whole_ = other.whole_;
  if (other.numberForm_ == kNumberOnly) {
    number_ = other.number_;
    numberForm_ = kNumberOnly;
    stale_ = true;
  } else {
    value_ = other.ValueText();
    number_ = other.number_;
    numberForm_ = other.numberForm_;
    stale_ = false;
  }
  Pattern = other.Pattern;
  TypeText = other.TypeText;
  Tag = other.Tag;
  Kind = other.Kind;
  RefPos = other.RefPos;
  Items = other.Items;
  Import = other.Import;
  Reserved = other.Reserved;
}

void THashNode::ResetAsVariable(std::string name, int level) {
  ResetAsVariable(level);
  Name = std::move(name);
}

void THashNode::ResetAsVariable(int level) {
  BeforeWrite();
  Pattern.clear();
  TypeText.clear();
  Kind = wkVariable;
  Tag = level;
  RefPos = nullptr;
  Items.reset();
  Import = nullptr;
  Reserved = false;
  table_.reset();
  numberForm_ = kNoNumber;
  stale_ = false;
  value_.clear();
}

void THashNode::InferType() {
  if (table_) {
    TypeText = "s";
    return;
  }
  const std::string& v = ValueText();
  if (v.empty()) {
    TypeText.clear();
  } else if (v[0] == '$' || (v[0] >= '0' && v[0] <= '9')) {
    TypeText = "e";
  } else {
    TypeText = "s";
  }
}

TCsvDb& THashNode::TableForm() {
  if (!table_) {
    chars_.reset();  // the text is written again from the table
    if (stale_) Render();
    numberForm_ = kNoNumber;
    table_ = std::make_unique<TCsvDb>();
    table_->SetCsvText(value_);
    std::string().swap(value_);  // rendered again from the table when asked for
    stale_ = true;
  }
  return *table_;
}

void THashNode::Render() const {
  if (table_) {
    value_.clear();
    table_->AppendCsvText(value_);
  } else if (numberForm_ == kNumberOnly) {
    value_ = FormatNumber(number_);
    numberForm_ = kNumberWritten;
  }
  stale_ = false;
}

void THashNode::DropTable(bool keep_text) {
  if (keep_text && stale_) Render();
  table_.reset();
  stale_ = false;
}

void THashNode::DropForms() {
  table_.reset();
  numberForm_ = kNoNumber;
  stale_ = false;
}

void THashNode::SetAside(TSetAside& out) {
  BeforeWrite();
  if (table_) MutableValue();  // a table is set aside as its text
  // out is fresh: an empty value (a number kept in its place, usually) needs no swap.
  if (!value_.empty()) {
    out.Text.swap(value_);
    value_.clear();
  }
  out.Number = number_;
  out.Whole = whole_;
  out.Form = numberForm_;
  out.Stale = stale_;
  numberForm_ = kNoNumber;
  stale_ = false;
}

void THashNode::PutBack(TSetAside&& in) {
  BeforeWrite();
  if (table_) table_.reset();
  if (!value_.empty() || !in.Text.empty()) value_.swap(in.Text);
  number_ = in.Number;
  whole_ = in.Whole;
  numberForm_ = static_cast<TNumberForm>(in.Form);
  stale_ = in.Stale;
}

void THashNode::SetNumberValueSlow(long double n) {
  if (table_) table_.reset();
  if (n == 0) n = 0;  // no negative zero: the text "0" reads back as plain 0
  if (n > -1e15L && n < 1e15L && static_cast<long double>(static_cast<int64_t>(n)) == n) {
    number_ = n;
    whole_ = static_cast<int64_t>(n);
    numberForm_ = kNumberOnly;
    stale_ = true;
    return;
  }
  value_ = FormatNumber(n);
  numberForm_ = kNoNumber;
  stale_ = false;
}

long double THashNode::NumberOfValue() const {
  if (numberForm_) return number_;
  number_ = StrToNumber(ValueText());
  if (!table_) numberForm_ = kTextRead;
  return number_;
}

std::string THashNode::GetCell(int col, int row) {
  return std::string(TableForm().GetCell(col, row));
}

std::string THashNode::GetRow(int row) {
  return TableForm().GetRowText(row);
}

void THashNode::SetCell(int col, int row, std::string text) {
  BeforeWrite();
  TableForm().SetCell(col, row, std::move(text));
  stale_ = true;
}

void THashNode::SetRow(int row, std::string_view text) {
  BeforeWrite();
  TableForm().SetRowText(row, text);
  stale_ = true;
}

void THashNode::ReplaceTable(const TCsvDb& table) {
  BeforeWrite();
  if (!table_) table_ = std::make_unique<TCsvDb>();  // no need to parse what is replaced
  table_->Assign(table);
  stale_ = true;
}

// ---- folding ----

void FoldNameInto(std::string_view name, std::string& out) {
  out.clear();
  bool flag = false;
  size_t i = 0;
  const size_t n = name.size();
  while (i < n) {
    if (!IsLead(name[i]) || i + 1 >= n) {
      out += name[i++];
      continue;
    }
    unsigned code =
        (static_cast<unsigned char>(name[i]) << 8) | static_cast<unsigned char>(name[i + 1]);
    bool hiragana = code >= 0x82A0 && code <= 0x833E;
    if (!hiragana) {
      out.append(name.data() + i, 2);
      flag = true;
      i += 2;
    } else if (!flag) {
      out.append(name.data() + i, 2);
      i += 2;
    } else {
      // Drop this hiragana and every one directly after it.
      while (i + 1 < n && IsLead(name[i])) {
        unsigned c2 =
            (static_cast<unsigned char>(name[i]) << 8) | static_cast<unsigned char>(name[i + 1]);
        if (c2 < 0x82A0 || c2 > 0x833E) break;
        i += 2;
      }
      flag = false;
    }
  }
  if (out.empty()) out.assign(name);
}

std::string FoldName(std::string_view name) {
  std::string out;
  FoldNameInto(name, out);
  return out;
}

// ---- TNameIndex ----

uint64_t TNameIndex::HashOf(std::string_view name) {
  // FNV-1a, then mixed to the bottom (the low bits pick the slot, and FNV's low bits depend only
  // on the bytes' low bits, which clusters names that differ in their high bits).
  uint64_t h = 14695981039346656037ull;
  for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  return h | (1ull << 63);  // never 0; the low bits, which pick the slot, stay as mixed
}

THashNode* TNameIndex::Find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const uint64_t h = HashOf(name);
  const size_t mask = slots_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    const TSlot& s = slots_[i];
    if (!s.Word) return nullptr;
    if (s.Hash == h && s.Word->Name == name) return s.Word;
  }
}

void TNameIndex::Insert(THashNode* word) {
  if ((size_ + 1) * 4 > slots_.size() * 3) Grow();
  const uint64_t h = HashOf(word->Name);
  const size_t mask = slots_.size() - 1;
  size_t i = h & mask;
  while (slots_[i].Word) i = (i + 1) & mask;
  slots_[i] = {h, word};
  ++size_;
}

void TNameIndex::Erase(std::string_view name) {
  if (slots_.empty()) return;
  const uint64_t h = HashOf(name);
  const size_t mask = slots_.size() - 1;
  size_t i = h & mask;
  for (;; i = (i + 1) & mask) {
    if (!slots_[i].Word) return;
    if (slots_[i].Hash == h && slots_[i].Word->Name == name) break;
  }
  // Backward shift: later entries of the run move up, so that no probe stops early.
  size_t hole = i;
  for (size_t j = (i + 1) & mask; slots_[j].Word; j = (j + 1) & mask) {
    const size_t home = slots_[j].Hash & mask;
    // j's entry may fill the hole when its home is not in (hole, j].
    const bool between = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
    if (!between) {
      slots_[hole] = slots_[j];
      hole = j;
    }
  }
  slots_[hole] = TSlot{};
  --size_;
}

void TNameIndex::Clear() {
  if (size_ == 0) return;
  for (TSlot& s : slots_) s = TSlot{};
  size_ = 0;
}

void TNameIndex::Grow() {
  std::vector<TSlot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, TSlot{});
  const size_t mask = slots_.size() - 1;
  for (const TSlot& s : old) {
    if (!s.Word) continue;
    size_t i = s.Hash & mask;
    while (slots_[i].Word) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

// ---- THash ----

THash::~THash() = default;

unsigned THash::Bucket(std::string_view name) {
  unsigned sum = 0;
  for (char c : name) sum += static_cast<unsigned char>(c);
  return sum & 0xFF;
}

int THash::Add(std::unique_ptr<THashNode> word) {
  if (!word) return -1;
  if (buckets_.empty()) buckets_.resize(256);
  Bucket_t& bucket = buckets_[Bucket(word->Name)];
  if (THashNode* old = FindExact(word->Name)) {
    if (old->Reserved) {
      throw EYume(Subst(msg::kReservedWord, {word->Name}));
    }
    for (auto& slot : bucket) {
      if (slot.get() == old) {
        index_.Erase(old->Name);
        slot = std::move(word);
        index_.Insert(slot.get());
        break;
      }
    }
  } else {
    THashNode* raw = word.get();
    bucket.push_back(std::move(word));
    index_.Insert(raw);
    ++count_;
  }
  ++changes_;
  BumpDictGeneration();
  return count_;
}

THashNode* THash::Find(std::string_view name, bool fold) const {
  if (name.empty() || count_ == 0) return nullptr;
  if (fold) {
    thread_local std::string folded;
    FoldNameInto(name, folded);
    if (THashNode* w = FindExact(folded)) return w;
    if (folded == name) return nullptr;  // the same lookup again would find nothing either
  }
  return FindExact(name);
}

bool THash::DeleteExact(std::string_view name) {
  THashNode* w = FindExact(name);
  if (!w) return false;
  Bucket_t& bucket = buckets_[Bucket(name)];
  index_.Erase(w->Name);
  for (auto it = bucket.begin(); it != bucket.end(); ++it) {
    if (it->get() == w) {
      bucket.erase(it);
      break;
    }
  }
  --count_;
  ++changes_;
  BumpDictGeneration();
  return true;
}

int THash::Delete(std::string_view name, bool fold) {
  bool deleted = false;
  if (fold) {
    std::string folded = FoldName(name);
    deleted = DeleteExact(folded);
  }
  if (DeleteExact(name)) deleted = true;
  return deleted ? count_ : -1;
}

std::string THash::ValueText(std::string_view name, bool fold) const {
  THashNode* w = Find(name, fold);
  return w ? w->ValueText() : std::string();
}

std::vector<THashNode*> THash::Nodes() const {
  std::vector<THashNode*> out;
  out.reserve(count_);
  for (const auto& bucket : buckets_)
    for (const auto& w : bucket) out.push_back(w.get());
  return out;
}

std::string THash::KeysText() const {
  std::string out;
  for (const auto& bucket : buckets_)
    for (const auto& w : bucket) {
      out += w->Name;
      out += "\r\n";
    }
  return std::string(TrimBlanks(out));
}

std::string THash::PairsText() const {
  std::string out;
  for (const auto& bucket : buckets_)
    for (const auto& w : bucket) {
      out += w->Name;
      out += '=';
      out += w->ValueText();
      out += "\r\n";
    }
  return std::string(TrimBlanks(out));
}

void THash::LoadFromText(std::string_view text) {
  std::string key, value;
  bool have = false;
  auto flush = [&]() {
    if (have) Add(THashNode::MakeVariable(std::move(key), false, 0, std::move(value)));
    key.clear();
    value.clear();
  };
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    // "=" (0x3D) is never the second byte of a two-byte character.
    size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      flush();
      key.assign(line.substr(0, eq));
      value.assign(line.substr(eq + 1));
      have = true;
    } else if (have) {
      value += "\r\n";
      value += line;
    }
    if (end == text.size()) break;
    pos = end + 2;
  }
  flush();
}

THashNode* THash::FindInBucket(unsigned bucket, std::string_view name) const {
  if (buckets_.empty()) return nullptr;
  for (const auto& w : buckets_[bucket])
    if (w->Name == name) return w.get();
  return nullptr;
}

void THash::Empty() {
  if (count_ == 0) return;
  // The buckets keep their storage for the next words. With few words only their buckets are
  // visited (found before any word goes, since the index views the words' names).
  unsigned used[16];
  size_t n = 0;
  if (index_.Size() <= std::size(used)) {
    index_.ForEach([&](const THashNode* w) { used[n++] = Bucket(w->Name); });
  }
  index_.Clear();
  if (n > 0) {
    for (size_t i = 0; i < n; ++i) buckets_[used[i]].clear();
  } else {
    for (auto& bucket : buckets_) bucket.clear();
  }
  count_ = 0;
  ++changes_;
  BumpDictGeneration();
}

void THash::Clear() {
  buckets_.clear();
  index_.Clear();
  count_ = 0;
  ++changes_;
  BumpDictGeneration();
}

// ---- THashYu ----

[[gnu::always_inline]] inline THashNode* THashYu::FindLocal(std::string_view name,
                                                            std::string_view folded,
                                                            unsigned bucketName,
                                                            unsigned bucketFolded,
                                                            TLocalPlace* remember) const {
  for (auto it = used_.rbegin(); it != used_.rend(); ++it) {
    const TScopeTable& table = *scopes_[*it];
    if (table.Empty()) continue;
    const auto scope = static_cast<uint32_t>(depth_ - *it);
    uint32_t entry = 0;
    if (!folded.empty()) {
      if (THashNode* w = table.Find(bucketFolded, folded, entry)) {
        if (remember) *remember = {scope, entry, true};
        return w;
      }
    }
    if (THashNode* w = table.Find(bucketName, name, entry)) {
      // Found by its own name where a folded form exists: not remembered, as the folded form
      // is looked for first.
      if (remember) *remember = {folded.empty() ? scope : 0, entry, false};
      return w;
    }
  }
  return nullptr;
}

THashNode* THashYu::FindScoped(std::string_view name, bool fold) const {
  if (name.empty()) return nullptr;
  if (depth_ == 0) return Find(name, fold);
  // The name is folded once for all scopes; a name without two-byte characters folds to itself.
  std::string_view folded;
  if (fold) {
    bool wide = false;
    for (char c : name) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        wide = true;
        break;
      }
    }
    if (wide) {
      thread_local std::string buffer;
      FoldNameInto(name, buffer);
      if (buffer != name) folded = buffer;
    }
  }
  // Scope tables hold few words: their bucket (computed once) is scanned directly, which is
  // cheaper than hashing the name again for every scope.
  const unsigned bucketFolded = folded.empty() ? 0 : Bucket(folded);
  const unsigned bucketName = Bucket(name);
  // No local word shares a bucket with the name: the global table alone can hold it.
  if (localsInBucket_[bucketName] == 0 && (folded.empty() || localsInBucket_[bucketFolded] == 0))
    return Find(name, fold);
  if (THashNode* w = FindLocal(name, folded, bucketName, bucketFolded, nullptr)) return w;
  return Find(name, fold);
}

void TNameRef::Prepare(std::string_view name, bool fold) {
  Fold = fold;
  Folded.clear();
  if (fold) FoldNameInto(name, Folded);
  if (Folded == name) Folded.clear();
  BucketName = THash::Bucket(name);
  BucketFolded = Folded.empty() ? 0 : THash::Bucket(Folded);
  Word = nullptr;
  Changes = 0;
  Local = {};
}

THashNode* THashYu::FindRememberedSlow(std::string_view name, TNameRef& ref) const {
  if (localsInBucket_[ref.BucketName] != 0 ||
      (!ref.Folded.empty() && localsInBucket_[ref.BucketFolded] != 0)) {
    // A word found in the innermost scope last time, at the same entry there now, is the answer:
    // nothing is looked at before that scope.
    const TLocalPlace& at = ref.Local;
    if (at.Scope == 1) {
      const TScopeTable& top = Innermost();
      if (THashNode* w = at.Folded ? top.At(at.Entry, ref.BucketFolded, ref.Folded)
                                   : top.At(at.Entry, ref.BucketName, name))
        return w;
    }
    if (THashNode* w = FindLocal(name, ref.Folded, ref.BucketName, ref.BucketFolded, &ref.Local))
      return w;
    // No local word: the global one, as remembered while the table is unchanged.
  }
  if (ref.Changes != Changes()) {
    ref.Word = Find(name, ref.Fold);
    ref.Changes = Changes();
  }
  return ref.Word;
}

bool TScopeTable::Add(std::unique_ptr<THashNode> word) {
  const unsigned bucket = THash::Bucket(word->Name);
  for (size_t i = 0; i < live_; ++i) {
    TEntry& e = words_[i];
    if (e.Bucket != bucket || !SameName(e.Word->Name, word->Name)) continue;
    if (e.Word->Reserved) {
      throw EYume(Subst(msg::kReservedWord, {word->Name}));
    }
    e.Word = std::move(word);
    return false;
  }
  if (live_ < words_.size())
    words_[live_] = TEntry{bucket, std::move(word)};  // the node parked there goes
  else
    words_.push_back(TEntry{bucket, std::move(word)});
  ++live_;
  return true;
}

void THashYu::AddLocal(std::unique_ptr<THashNode> word) {
  if (depth_ == 0) {
    Add(std::move(word));
  } else {
    const size_t top = depth_ - 1;
    if (used_.empty() || used_.back() != top) used_.push_back(top);
    const unsigned bucket = Bucket(word->Name);
    if (Innermost().Add(std::move(word))) ++localsInBucket_[bucket];
    BumpDictGeneration();
  }
}

THashNode* THashYu::AddLocalVariable(std::string_view name, int level) {
  if (depth_ > 0) {
    const unsigned bucket = Bucket(name);
    TScopeTable& top = Innermost();
    if (THashNode* w = top.TakeParked(bucket, name)) {
      w->ResetAsVariable(level);  // its own name, kept
      const size_t at = depth_ - 1;
      if (used_.empty() || used_.back() != at) used_.push_back(at);
      ++localsInBucket_[bucket];
      BumpDictGeneration();
      return w;
    }
    // Another name at that place: the node parked there serves as the new one.
    if (std::unique_ptr<THashNode> w = top.ReleaseParked()) {
      w->ResetAsVariable(std::string(name), level);
      THashNode* const made = w.get();
      AddLocal(std::move(w));
      return made;
    }
  }
  auto w = THashNode::MakeVariable(std::string(name), false, level, "");
  THashNode* const made = w.get();
  AddLocal(std::move(w));
  return made;
}

void THashYu::PushScope() {
  if (depth_ == scopes_.size()) scopes_.push_back(std::make_unique<TScopeTable>());
  ++depth_;
  BumpDictGeneration();
}

void THashYu::PopScope() {
  if (depth_ == 0) return;
  TScopeTable& table = Innermost();
  --depth_;
  if (!used_.empty() && used_.back() == depth_) used_.pop_back();
  table.Park([this](unsigned bucket) {
    if (localsInBucket_[bucket] > 0) --localsInBucket_[bucket];
  });
  // After a deep recursion the tables far beyond the open ones go.
  if (scopes_.size() > depth_ + 128) scopes_.resize(depth_ + 64);
  BumpDictGeneration();
}

void THashYu::ClearScopes() {
  scopes_.clear();
  depth_ = 0;
  used_.clear();
  localsInBucket_.fill(0);
  BumpDictGeneration();
}

}  // namespace yume
