// The part model: GUI parts as words of the script, their records in the part list, their
// event slots and the events they deliver. The widgets are the host's (core/parthost.h); this
// side keeps the names and every message, so that it can be run and tested without a window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/parthost.h"

namespace yume {

class TYumeBase;
class THashNode;
struct TObjNode;

// The kind names as 作成 takes them, by kind number (CP932).
extern const char* const kPartKindNames[pkKindCount];

// The kind named exactly so; -1 when none.
int FindPartKind(std::string_view name);
// 作る: the first kind (in table order) whose name ends `name`; -1 when none.
int KindEndingName(std::string_view name);
// The caption a new part gets: its name without the kind name at its end (the kind name itself
// when nothing is left), else the name.
std::string DefaultCaption(std::string_view name, std::string_view kindName);
// The event slot a property number sets; -1 for other properties.
int EventSlotOfProperty(int property);
// The slot "イベント" copies its entry into, by kind; -1 when the kind has none.
int MainEventSlot(int kind);
// Whether a property reads as a number.
bool NumericProperty(int property);

// Ties the state to the program's widgets: host() is asked for them when a script first needs a
// part (the console program loads them then). Sets the hooks the evaluator reads and writes
// parts through.
void ConnectParts(TYumeBase& y, std::function<TPartHost*()> host);

// The widgets, loaded on first need; raises when the program has none.
TPartHost& PartWidgets(TYumeBase& y);

// ---- the engine of the part commands ----
// 作成: position null = at the placement cursor. Returns the new part's index.
int CreatePart(TYumeBase& y, const std::string& name, const std::string& kindName,
               const std::string* position);
// 部品破壊 (name as written or evaluated) and 部品全破壊.
void DestroyPart(TYumeBase& y, const std::string& name);
void DestroyAllParts(TYumeBase& y);
// The part a name (or a word naming one) refers to; null when none.
TObjNode* FindPart(TYumeBase& y, std::string_view name);
// 得る and 設定: property access by part name and property name.
std::string GetPartProperty(TYumeBase& y, const std::string& part, std::string_view property);
// valueText is the value as written: evaluated here unless the property is an event.
void SetPartProperty(TYumeBase& y, const std::string& part, std::string_view property,
                     std::string_view valueText, bool evaluated);
// The menu commands.
void CreateMenuItem(TYumeBase& y, const std::string& name, const std::string* parent);
void CreateMenuPaths(TYumeBase& y, const std::string& paths);
// The top-level menu item made last (メニュー追加 without a parent adds under it); -1 when none.
int LastTopMenu(TYumeBase& y);
// メッセージ送信: "message,wparam,lparam" (numbers, "$" hexadecimal; an lparam that is not a
// number names a variable, made when missing, whose text is passed and which a message that
// fills a buffer fills). The result; raises the command's argument error when the text does
// not hold three values or the message is not one the widgets know.
long long SendPartMessage(TYumeBase& y, const TObjNode& node, const std::string& spec);
// Tエディタ設定: the editor part's settings in a key/value dialog (answered like 項目記入);
// false when cancelled, nothing changed.
bool EditorSettingsDialog(TYumeBase& y, const TObjNode& node);
// ダイアログ表示: shows a form modally; the script goes on after the statement once it closes.
void ShowDialogForm(TYumeBase& y, const std::string& name);
// Frees the widgets of destroyed parts (the script waits for events now).
void ReleaseDestroyedParts(TYumeBase& y);
// A widget event: sets the event variables and runs the slot's event. True when one ran.
bool DeliverPartEvent(TYumeBase& y, int index, int slot, const TPartEventInfo& info);
// Whether a modal form is still open or waiting to give the script back its place.
bool DialogPending(TYumeBase& y);

}  // namespace yume
