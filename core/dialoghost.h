// TDialogHost: the dialogs of the dialog commands, as a program shows them. The console program
// asks on the terminal, the window program shows real dialogs; both answer from the answers
// file first (--answers), which their shared run cycle keeps.
//
// Each call runs modally and returns false when the user cancels (closing counts as cancel
// where the command says so). Texts are CP932; line breaks are CR LF.
// (No Japanese literal may stand in this header: it is compiled as UTF-8 by the Qt programs.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yume {

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

class TDialogHost {
 public:
  virtual ~TDialogHost() = default;

  // 言う: the message box (text already cut, tabs expanded, line breaks normalised).
  virtual void Say(const std::string& text, const TDialogStyle& style) = 0;
  // 尋ねる: a one-line input box with a prompt and an initial text.
  virtual bool AskText(const std::string& prompt, const std::string& initial,
                       const TDialogStyle& style, std::string& answer) = 0;
  // 二択 (withCancel false: 1 yes, 0 no) and 三択 (1 yes, 0 no, 2 cancel or closed).
  virtual int AskYesNo(const std::string& text, const std::string& caption, bool withCancel) = 0;
  // どれか尋ねる (editable: any text may be typed) and リストから選択: a list with a result box.
  virtual bool AskList(const std::string& message, const std::vector<std::string>& items,
                       bool editable, const std::string& initial, const TDialogStyle& style,
                       std::string& answer) = 0;
  // ボタンで選択: one button per caption (at most 50); the answer is the pressed caption.
  virtual bool AskButtons(const std::string& message, const std::vector<std::string>& captions,
                          const TDialogStyle& style, std::string& answer) = 0;
  // メモ記入: a multi-line text; closing with the close box counts as OK.
  virtual bool AskMemo(const std::string& text, const TDialogStyle& style, std::string& answer) = 0;
  // 項目記入: the key/value grid; the answer is every row as key=value lines.
  virtual bool AskItems(const TItemList& items, const TDialogStyle& style, std::string& answer) = 0;
  // 色選択: the colour picker (red in the low byte).
  virtual bool PickColor(uint32_t& color) = 0;
  // フォント選択: the font picker.
  virtual bool PickFont(TDialogFont& font) = 0;
  // 読込ファイル選択 (several files may be chosen) and 書込ファイル選択. filter is
  // "name|pattern|name|pattern…"; folder is where the picker starts; initial the file name box.
  virtual bool PickOpenFiles(const std::string& filter, const std::string& folder,
                             const std::string& initial, std::vector<std::string>& files) = 0;
  virtual bool PickSaveFile(const std::string& filter, const std::string& defaultExt,
                            const std::string& folder, const std::string& initial,
                            std::string& file) = 0;
  // フォルダ選択 / フォルダ拡張選択 (root: the top of the tree, "" = everything).
  virtual bool PickFolder(const std::string& start, const std::string& root,
                          std::string& folder) = 0;
};

}  // namespace yume
