// THost: the one interface through which the interpreter reaches the program hosting it.
//
// Two programs implement it: the console program (build/yume: terminal dialogs, no window)
// and the window program (build/yumemori: a real window on Qt Widgets). Both run on Qt's
// event loop. Everything the core asks of a host goes through here; each family of commands
// that needs more of the host (dialogs, parts, drawing) adds its own calls.
//
// All texts crossing this interface are CP932, like every text inside; the host converts.
// (No Japanese literal may stand in this header: it is compiled as UTF-8 by the Qt programs.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yume {

enum class THostTimer {
  EventDo,  // 1 ms: starts the first run
  Yume,     // the script's one-shot timer
  ObjDel,   // 1 ms: releases the widgets of destroyed parts after 待機
  Count
};

enum class TMessageKind { Info, Warning, Error };

// The user's answer to the error dialog.
enum class TErrorChoice { Continue, Debug, End };

// The drawing font a dialog copies into its label, list, edit, memo or grid.
struct TDialogFont {
  std::string Name;    // as the script wrote it (never empty from a command); the host maps it
                       // to an installed font
  int Size = 12;       // points
  uint32_t Color = 0;  // red in the low byte
  bool Bold = false, Italic = false, Underline = false;
};

// How a dialog is shown: title, placement and the look of its fields.
struct TDialogStyle {
  std::string Title;  // the window title (already resolved: ダイアログタイトル or the main caption)
  // The dialog rectangle: all 0 keeps the dialog centred; else Left/Top place it, and with
  // Right > 0 and Bottom > 0 it is also sized (Right - Left + 1 by Bottom - Top + 1).
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Ime = 0;  // 0 closed, 1 open, 2 hiragana, 3 katakana, 4 half-width katakana
  TDialogFont Font;
};

// One row of the key/value entry grid (項目記入).
struct TItemRow {
  enum TKind { Plain, Text, Number, PickList, File, Color };
  std::string Key;
  std::string Value;  // the initial value, type prefix removed
  TKind Kind = Plain;
  std::vector<std::string> Choices;  // PickList
  std::string Filter;                // File: the picker's filter ("" = all files)
};
struct TItemList {
  std::string KeyTitle;  // the column titles (the command fills them)
  std::string ValueTitle;
  std::vector<TItemRow> Rows;
};

class THost {
 public:
  virtual ~THost() = default;

  // Lets pending window messages and timers run (events may enter the script from here).
  virtual void ProcessMessages() = 0;

  // Arms (enabled, interval in ms) or disarms a timer; when it fires the host calls
  // TYumeApp::OnTimer. A timer keeps firing until it is disarmed.
  virtual void SetTimer(THostTimer timer, int intervalMs, bool enabled) = 0;

  // Shows the main window (the console host only records it).
  virtual void ShowMainWindow() = 0;

  // A close request, as if the user closed the window: the host asks TYumeApp::CloseQuery
  // and, when it allows, ends the program once every running loop has unwound.
  virtual void CloseMainWindow() = 0;

  // Prints a text on the main window at its text cursor (the console prints it on standard
  // output, one line).
  virtual void PrintText(const std::string& text) = 0;

  // A plain message box.
  virtual void ShowMessage(const std::string& text, const std::string& caption,
                           TMessageKind kind) = 0;

  // The error dialog showing the whole error log.
  virtual TErrorChoice ShowErrorDialog(const std::string& log, bool debugMode) = 0;

  // ---- dialogs ----
  // Each runs modally and returns false when the user cancels (closing counts as cancel where
  // the command says so). Texts are CP932; line breaks are CR LF. A host that has no dialogs
  // (engine tests) cancels them all.

  // 言う: the message box (text already cut, tabs expanded, line breaks normalised).
  virtual void Say(const std::string& text, const TDialogStyle& style);
  // 尋ねる: a one-line input box with a prompt and an initial text.
  virtual bool AskText(const std::string& prompt, const std::string& initial,
                       const TDialogStyle& style, std::string& answer);
  // 二択 (withCancel false: 1 yes, 0 no) and 三択 (1 yes, 0 no, 2 cancel or closed).
  virtual int AskYesNo(const std::string& text, const std::string& caption, bool withCancel);
  // どれか尋ねる (editable: any text may be typed) and リストから選択: a list with a result box.
  virtual bool AskList(const std::string& message, const std::vector<std::string>& items,
                       bool editable, const std::string& initial, const TDialogStyle& style,
                       std::string& answer);
  // ボタンで選択: one button per caption (at most 50); the answer is the pressed caption.
  virtual bool AskButtons(const std::string& message, const std::vector<std::string>& captions,
                          const TDialogStyle& style, std::string& answer);
  // メモ記入: a multi-line text; closing with the close box counts as OK.
  virtual bool AskMemo(const std::string& text, const TDialogStyle& style, std::string& answer);
  // 項目記入: the key/value grid; the answer is every row as key=value lines.
  virtual bool AskItems(const TItemList& items, const TDialogStyle& style, std::string& answer);
  // 色選択: the colour picker (red in the low byte).
  virtual bool PickColor(uint32_t& color);
  // フォント選択: the font picker.
  virtual bool PickFont(TDialogFont& font);
  // 読込ファイル選択 (several files may be chosen) and 書込ファイル選択. filter is
  // "name|pattern|name|pattern…"; folder is where the picker starts; initial the file name box.
  virtual bool PickOpenFiles(const std::string& filter, const std::string& folder,
                             const std::string& initial, std::vector<std::string>& files);
  virtual bool PickSaveFile(const std::string& filter, const std::string& defaultExt,
                            const std::string& folder, const std::string& initial,
                            std::string& file);
  // フォルダ選択 / フォルダ拡張選択 (root: the top of the tree, "" = everything).
  virtual bool PickFolder(const std::string& start, const std::string& root, std::string& folder);
};

}  // namespace yume
