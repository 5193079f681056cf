// The interpreter state: one TYumeBase per run of the program, owning the dictionary, the
// stacks, the part list and everything else a script's words live in.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/hash.h"
#include "core/objlist.h"
#include "core/stacks.h"
#include "core/typecode.h"

namespace yume {

class THost;
class TDialogHost;
class TClipboardHost;
class TPartHost;
class TDrawHost;
class TYumeApp;
class TPackStore;

// An evaluated argument of a user function: its text, or a whole number worked out by the call
// whose text (the number written out) is only made when something reads it.
class TFuncArg {
 public:
  TFuncArg() = default;
  explicit TFuncArg(std::string text) : text_(std::move(text)) {}
  // A whole number below 10^15 in size (its text is plain digits, perhaps with a minus sign).
  static TFuncArg Whole(int64_t n) {
    TFuncArg a;
    a.whole_ = n;
    a.written_ = false;
    a.isNumber_ = true;
    return a;
  }
  const std::string& Text() const {
    if (!written_) Write();
    return text_;
  }
  bool KeptWhole(int64_t& n) const {
    n = whole_;
    return isNumber_;
  }
  // The text to change in place; the value is a text from then on.
  std::string& MutableText() {
    if (!written_) Write();
    isNumber_ = false;
    return text_;
  }

 private:
  void Write() const;

  mutable std::string text_;
  int64_t whole_ = 0;
  bool isNumber_ = false;
  mutable bool written_ = true;
};

// What a command family keeps for the run in the interpreter state, opaque to the core (which
// includes nothing of commands/): the family derives its own and casts back.
struct TFamilyState {
  virtual ~TFamilyState() = default;
};

class TYumeBase {
 public:
  TYumeBase();
  ~TYumeBase();
  TYumeBase(const TYumeBase&) = delete;
  TYumeBase& operator=(const TYumeBase&) = delete;

  // ---- the program ----
  std::string FileName;       // source being executed; shown in error lines
  std::string Source;         // the main program: as loaded, then its working text
  const char* Cur = nullptr;  // read position; null = no program position (idle)
  const char* End = nullptr;  // end of the text Cur runs in (a block's body ends before its text)
  int Line = 0;               // line last passed

  // ---- start-up options ----
  bool RuntimeGiven = false;
  bool FromPack = false;
  bool DefaultStart = false;
  bool DebugMode = false;
  bool LineStop = false;
  bool StopRun = false;             // end the run loop now
  int SecurityLevel = -1;           // -1 unknown, 0 low, 1 mid, 2 high
  std::vector<std::string> Params;  // command-line parameters, [0] = the runtime itself
  std::string ProgramFolder;        // folder of ProgramFile, ending in "/"
  std::string ProgramFile;
  // The pack the program started with (own executable, -runtime or -resource file), if any.
  std::unique_ptr<TPackStore> Pack;
  std::vector<std::string> ExtractedFiles;  // temporary files (system paths), deleted at the end
  std::string PackCopy;  // our own temporary copy of a pack (system path), deleted at the end

  // ---- events ----
  const char* TimerLabel = nullptr;  // label run by the one-shot timer
  THashNode* ExitLabel = nullptr;    // label run before the window closes
  bool TrayIconShown = false;

  // ---- words and stacks ----
  THashYu Dict;
  TStack Args;
  // Set for the moment between a planned statement pushing its bound phrases and the command
  // taking them: where the phrases' names were found last time (TArgs takes it over).
  std::vector<TNameRef>* BoundRefs = nullptr;
  const std::vector<std::string>* BoundNames = nullptr;  // the phrases they belong to
  TRunControlStack Runs;
  TObjList Objs;
  std::vector<std::unique_ptr<TObjNode>> DeferredRelease;  // destroyed parts awaiting release
  std::vector<std::unique_ptr<std::string>> Included;      // sources brought in by 取り込む
  std::vector<TFuncArg> FuncArgs;                          // evaluated arguments of a user function
  std::vector<TFuncArg> SpareFuncArgs;                     // storage for the next call's arguments
  bool HasFuncArgs = false;                                // FuncArgs holds a call's arguments
  std::vector<std::string_view> Texts;                     // see AddText
  std::string_view LastText;                               // the text TextOf found last
  // Changes whenever a registered text goes away, so that anything remembered by position in a
  // text can tell it may now be stale. Unique across states.
  uint64_t TextsGeneration = 0;

  // ---- executor state ----
  // Statements, expressions and conditions are read once into plans and kept (the fast path);
  // false reads every one from its text each time (the reference the fast path is tested
  // against: both give the same results).
  bool Plans = true;
  // Where the statement the run loop's step ran last began (a step that runs a loop body read
  // once runs many); null after the end of a text. The run loop checks that the next step starts
  // elsewhere.
  const char* StepStart = nullptr;
  // Blocks being run in place whose frames are not pushed (see blockrun.cpp): they count as
  // frames for the level of a word made meanwhile.
  int InlineFrames = 0;
  // The level a word made now gets: the frames of the current level.
  int WordLevel() const { return static_cast<int>(Runs.Count()) + InlineFrames; }
  // A statement has run without an error since the error label was last jumped to.
  bool StepSinceErrorJump = true;
  int CondResult = -1;      // last condition: 1, 0, -1 none pending
  std::string CaseSubject;  // the undefined marker when no case is open
  bool ParticleFree = false;
  bool OmittedFilled = false;
  TTypeCode LastType;  // type of the last value produced: "s" or "e"
  THashNode* LastCommand = nullptr;
  uint32_t RandSeed = 0;

  // ---- errors ----
  std::string ErrorLog;     // every error and warning line of the run, each ending in CR LF
  bool ErrorsShown = true;  // show the error dialog (else errors are only recorded)
  THashNode* ErrorLabel = nullptr;
  const char* ErrorReturn = nullptr;
  const char* ErrorLabelEntry = nullptr;
  // ログる: per variable name, how many values were collected and the collected text.
  struct TLogRecord {
    int Count = 0;
    std::string Text;
  };
  std::vector<std::pair<std::string, TLogRecord>> LogRecords;

  // ---- words the system reads and writes directly (set by the registry) ----
  THashNode* VarSore = nullptr;          // それ
  THashNode* VarSo = nullptr;            // そ
  THashNode* VarCount = nullptr;         // 回数
  THashNode* VarErrorMessage = nullptr;  // エラーメッセージ
  THashNode* VarErrorLine = nullptr;     // エラー行
  THashNode* VarCannotClose = nullptr;   // 終了不可能
  THashNode* WordSoshite = nullptr;      // そして
  THashNode* WordMoshi = nullptr;
  THashNode* WordNaraba = nullptr;
  THashNode* WordNara = nullptr;
  THashNode* WordChigaeba = nullptr;
  THashNode* WordDenakereba = nullptr;
  THashNode* VarEventObject = nullptr;  // イベントオブジェクト
  THashNode* VarEventValue = nullptr;   // イベントの値
  THashNode* VarMouseX = nullptr;       // マウスX
  THashNode* VarMouseY = nullptr;       // マウスY
  THashNode* VarKey = nullptr;          // 押されたキー
  THashNode* VarSpecialKey = nullptr;   // 押された特殊キー
  THashNode* VarMatchCount = nullptr;   // マッチ数
  THashNode* VarFieldNames = nullptr;   // 表フィールド名

  // ---- command families ----
  // The open file handles (commands/system/handle_cmds.cpp): made on first use, every file still
  // open closed with the state.
  std::unique_ptr<TFamilyState> FileHandles;
  // The table search (表検索 and the steps after it) and the table read last
  // (commands/text/table_cmds.cpp).
  std::unique_ptr<TFamilyState> TableState;

  // ---- drawing ----
  // The placement cursor: 表示 prints at it, the drawing commands start from it and parts are
  // placed at it when no position is given. (0,0) at start.
  int CursorX = 0;
  int CursorY = 0;
  bool Centering = false;  // センタリング: printed lines, pictures and new parts centred
  int PenStyle = 0;        // ペンスタイル設定 (0 solid … 5 clear)
  int BrushStyle = 0;      // 塗りスタイル設定 (0 solid, 1 clear, 2… hatches)

  // ---- dialogs ----
  // The dialog rectangle (ダイアログサイズ設定): Left, Top, Right, Bottom; all 0 = centred.
  std::array<int, 4> DialogRect{};

  // ---- registration ----
  std::array<bool, 256> UsedVarNumbers{};  // management numbers taken since RegisterAll began
  // The screen size given to デスクトップの幅/高さ; the host sets it before the run.
  int DesktopWidth = 1024;
  int DesktopHeight = 768;

  // ---- links ----
  TYumeApp* App = nullptr;
  // The program hosting the run, by area: the run cycle and main window, and the dialogs.
  // Set by the program; null in a state run without it.
  THost* Host = nullptr;
  TDialogHost* Dialogs = nullptr;
  TClipboardHost* Clipboard = nullptr;
  TPartHost* Parts = nullptr;  // the widgets of GUI parts (core/parthost.h)
  // The part model's own state for the run (commands/ui/parts.h).
  std::unique_ptr<TFamilyState> PartState;
  TDrawHost* Draw = nullptr;  // the drawing surfaces (core/drawhost.h)

  // ---- what the evaluator asks of the rest of the interpreter ----
  // Runs a command, label or library function used as a value: `args` is the text inside the
  // parentheses of word(...), hasArgs whether there were any. Leaves それ as it was, returns the
  // value and sets LastType. The executor's own (CallForValue) unless a test puts another;
  // null: words cannot be used as values.
  using TCallForValue = std::string (*)(TYumeBase&, THashNode& word, std::string_view args,
                                        bool hasArgs);
  TCallForValue CallForValue;
  // A caller that can take a whole number sets AcceptWhole just before CallForValue: a user
  // function whose それ ends as a whole number kept as one then gives that number (GaveWhole,
  // GivenWhole) and an empty text instead of writing it out. Any call clears AcceptWhole as it
  // starts; the caller clears GaveWhole as it takes the number.
  bool AcceptWhole = false;
  bool GaveWhole = false;
  int64_t GivenWhole = 0;
  // Reads a GUI part: its value when hasProperty is false, else the property named as
  // written; sets LastType. Set by the part model; null until there is one.
  using TPartRead = std::string (*)(TYumeBase&, THashNode& part, std::string_view property,
                                    bool hasProperty);
  TPartRead PartRead = nullptr;
  // Writes a GUI part: with property empty, value is the value assigned to the part (already
  // worked out); else the property named as written gets value, the text as written, not yet
  // evaluated. Null until there is a part model.
  using TPartWrite = void (*)(TYumeBase&, THashNode& part, std::string_view property,
                              std::string_view value);
  TPartWrite PartWrite = nullptr;

  // Resets what belongs to one run: dictionary, stacks, parts, references, condition state.
  void ResetForRun();

  // Working texts that program positions may point into: the main program, included sources,
  // texts run as programs. Each must stay alive and unchanged while registered.
  void AddText(std::string_view text);
  // Forgets the text registered last (a text run as a program, once its run is over).
  void RemoveText(std::string_view text);
  // The registered text holding p, from its start to its end; for a position in no registered
  // text, the text from p up to its terminating zero.
  std::string_view TextOf(const char* p);
  // True when p lies inside one of the registered texts.
  bool InRegisteredText(const char* p) const;
  // Moves the program position to p (null: none) and sets End for it: the end of the body of
  // the innermost block frame holding p, else the end of p's text.
  void SetCur(const char* p);
  // The end that belongs to Cur under the current frames.
  const char* ContextEnd();
  // The text Cur runs in, from the start of its registered text up to End.
  std::string_view RunText();

  // Forgets the references into the dictionary (before it is cleared).
  void ClearWordRefs();

  static const char* const kUndefinedCase;  // "\~未定義"
};

}  // namespace yume
