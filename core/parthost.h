// TPartHost: the widgets of GUI parts, as the part commands reach them. The interpreter side
// (commands/ui/parts.h) keeps the part list, the names, the event slots and every message; the
// host makes and changes the widgets, keyed by part index (0 = the mothership), and reports the
// widgets' events back through TPartEvents. Both programs share one implementation on Qt
// Widgets (ui/partwidgets.h); the console program loads it from its Qt module on first need.
//
// Texts crossing this interface are CP932, line breaks CR LF; numbers are written as decimal
// text. (No Japanese literal may stand in this header: it is compiled as UTF-8 by the Qt
// programs.)
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/dialoghost.h"

namespace yume {

// The part kinds, numbered as 作成 names them in order.
enum TPartKind {
  pkButton,
  pkEdit,
  pkImage,
  pkBar,
  pkCombo,
  pkList,
  pkMemo,
  pkForm,
  pkGrid,
  pkLabel,
  pkCheck,
  pkTrack,
  pkAnime,
  pkMenu,
  pkBrowser,
  pkPanel,
  pkTEditor,
  pkRadio,
  pkScroll,
  pkTabs,
  pkTree,
  pkRich,
  pkSplitter,
  pkPopup,
  pkKindCount
};

// The event slots of a part.
enum TPartSlot {
  psGeneric,
  psClick,
  psDoubleClick,
  psMouseDown,
  psMouseUp,
  psKeyDown,
  psKeyUp,
  psChange,
  psMouseMove,
  psFileDrop,
  psClose,
  psOpen,
  psSlotCount
};

// What a property access came to; the interpreter side turns each into its message.
enum class TPropResult {
  Ok,
  NotForKind,  // the property does not apply to this kind
  NoSetting,   // the kind has the property but it cannot be set this way
  ReadOnly,
  BadLayout,  // レイアウト given a word it does not know
  NotPopup,   // ポップアップ names no pop-up menu part
  Failed,     // the widget refused (a browser that cannot start …)
};

// What a widget event tells the script (the system variables set before it runs).
struct TPartEventInfo {
  bool Mouse = false;     // マウスX, マウスY, 押された特殊キー
  bool Key = false;       // 押されたキー, 押された特殊キー
  bool HasValue = false;  // イベントの値
  int X = 0, Y = 0;
  int KeyCode = 0;    // the virtual key code (Windows numbering)
  std::string Shift;  // "Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double" lines
  std::string Value;  // CP932
};

// The interpreter side: receives the events of the widgets.
class TPartEvents {
 public:
  virtual ~TPartEvents() = default;
  // A hooked event of part index fired. True when the slot held an event (it has run).
  virtual bool PartEvent(int index, int slot, const TPartEventInfo& info) = 0;
  // Whether a slot of a part holds an event (the host's default behaviours ask: a file drop
  // with no event fills an edit, a list or a memo).
  virtual bool HasEvent(int index, int slot) = 0;
  // A browser part is about to navigate to url (CP932): its click event runs, and false
  // cancels the navigation.
  virtual bool BrowserNavigate(int index, const std::string& url) { return true; }
  // A browser part's page asks for a new window (its open event runs): -2 refuses it, -1 lets
  // the platform open a window of its own, else the index of the browser part to show it in.
  virtual int BrowserNewWindow(int index) { return -1; }
  // Something of part index that fires an event later (a page loading) started or ended: the
  // program keeps waiting for events meanwhile (and no longer once the part is destroyed).
  virtual void SourceBusy(int index, bool on) {}
};

// A person's action on a part, synthesized as real input (--events).
struct TUserAction {
  enum TKind {
    Click,
    DoubleClick,
    Type,
    Key,
    Select,
    Close,
    MouseDown,
    MouseUp,
    Check,
    Drop,
    Drag
  };
  TKind Kind = Click;
  // Type: the text; Key: the key name; Select: the item (text or number); Drag: "dx dy", the
  // distance the mouse moves with its button held
  std::string Text;
  int X = -1, Y = -1;  // a point in the part (-1: its centre)
};

class TPartHost {
 public:
  virtual ~TPartHost() = default;

  virtual void SetEvents(TPartEvents* events) = 0;

  // Makes the widget of a part: the kind, the caption and the drawing font. Parts other than
  // forms, menus and pop-up menus are placed on the mothership at (x, y) (x already centred
  // when asked); forms are centred on the screen. False when the kind cannot be made here
  // (the reason in LastError).
  virtual bool Create(int index, int kind, const std::string& caption, const TDialogFont& font,
                      int x, int y) = 0;
  // Menu items: under parent (a menu item or a pop-up menu part), or the menu bar when -1.
  virtual bool CreateMenu(int index, int parent, const std::string& caption) = 0;
  // Why the last call failed (CP932; empty when it gave no reason).
  virtual std::string LastError() = 0;

  // The bounds: for a form the client area's size; x and y in the parent's client area.
  virtual bool Bounds(int index, int& x, int& y, int& width, int& height) = 0;
  virtual void SetBounds(int index, int x, int y, int width, int height) = 0;
  // The client width of a part's parent (centring).
  virtual int ParentWidth(int index) = 0;

  // The properties (numbers as in core/partprops.h) the widget keeps.
  virtual TPropResult Get(int index, int property, std::string& value) = 0;
  virtual TPropResult Set(int index, int property, const std::string& value) = 0;
  // The value of a part (its word used as a value) and an assignment to it.
  virtual std::string Value(int index, bool& isNumber) = 0;
  virtual void Assign(int index, const std::string& value) = 0;

  // Destruction: the content cleared and the widget hidden at once; released later (the part
  // may be destroying itself from its own event).
  virtual void Hide(int index) = 0;
  virtual void Release(int index) = 0;

  // The parts placed on a container (form, panel, scroll box, tab pages' active page), in order.
  virtual std::vector<int> Children(int index) = 0;
  // Moves a part onto a container; false when it cannot go there.
  virtual bool SetParent(int index, int container) = 0;
  // Containers a part can be put on.
  virtual bool IsContainer(int index) = 0;
  // Attaches a pop-up menu part (-1: none).
  virtual bool SetPopup(int index, int popup) = 0;

  // Commands on one part, by the command's handler number (注目 26, 中央へ移動 242, 最前面 181 …);
  // arg and result are the command's own texts. NotForKind when it does not apply.
  virtual TPropResult Command(int number, int index, const std::string& arg,
                              std::string& result) = 0;

  // Forms: shown modally (ダイアログ表示: the mothership disabled, the form on top) or
  // normally, and closed.
  virtual void ShowForm(int index, bool modal) = 0;
  virtual void CloseForm(int index) = 0;
  virtual bool FormVisible(int index) = 0;

  // Whether a person can act on the parts (a window on a display), so that waiting for them
  // makes sense.
  virtual bool Interactive() = 0;

  // Synthesizes a person's action as input events sent to the part's widget.
  virtual bool Perform(int index, const TUserAction& action, std::string& error) = 0;

  // Lets pending events run.
  virtual void ProcessEvents() = 0;
  // Runs fn from the event loop soon (after the events already pending).
  virtual void Post(std::function<void()> fn) = 0;
};

}  // namespace yume
