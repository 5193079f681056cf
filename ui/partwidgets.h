// TQtParts: the widgets of GUI parts on Qt Widgets, one per part index, for both programs (the
// console program loads it from yume-qt.so and runs it on the offscreen platform). It makes
// the widgets, answers and applies their properties, reports their events to the part model,
// and synthesizes a person's actions as real input events (--events).
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "core/parthost.h"

class QAction;
class QMenu;
class QMenuBar;
class QTimer;

namespace yume {

class TQtParts : public QObject, public TPartHost {
 public:
  // main: the mothership's window (part 0); null makes one of its own (the console program).
  explicit TQtParts(QWidget* main = nullptr);
  ~TQtParts() override;

  void SetInteractive(bool on) { interactive_ = on; }
  QWidget* Main() const;
  // The widget of a part (tests); null when none.
  QWidget* Widget(int index) const;
  QAction* Action(int index) const;

  void SetEvents(TPartEvents* events) override { events_ = events; }
  bool Create(int index, int kind, const std::string& caption, const TDialogFont& font, int x,
              int y) override;
  bool CreateMenu(int index, int parent, const std::string& caption) override;
  std::string LastError() override { return lastError_; }
  bool Bounds(int index, int& x, int& y, int& width, int& height) override;
  void SetBounds(int index, int x, int y, int width, int height) override;
  int ParentWidth(int index) override;
  TPropResult Get(int index, int property, std::string& value) override;
  TPropResult Set(int index, int property, const std::string& value) override;
  std::string Value(int index, bool& isNumber) override;
  void Assign(int index, const std::string& value) override;
  void Hide(int index) override;
  void Release(int index) override;
  std::vector<int> Children(int index) override;
  bool SetParent(int index, int container) override;
  bool IsContainer(int index) override;
  bool SetPopup(int index, int popup) override;
  TPropResult Command(int number, int index, const std::string& arg, std::string& result) override;
  void ShowForm(int index, bool modal) override;
  void CloseForm(int index) override;
  bool FormVisible(int index) override;
  bool Interactive() override { return interactive_; }
  bool Perform(int index, const TUserAction& action, std::string& error) override;
  void ProcessEvents() override;
  void Post(std::function<void()> fn) override;

  // A widget event (from the widgets' filters and signals).
  bool Fire(int index, int slot, const TPartEventInfo& info = {});

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  struct TPart;

 private:
  TPart* Part(int index);
  // A part that can still be asked: not a browser whose view went with the event loop's end.
  TPart* LivePart(int index);
  QWidget* MakeWidget(int index, int kind, const QString& caption);
  QWidget* MakeBrowser(int index);
  void Hook(int index, QWidget* w);
  void SetPicture(int index, const QString& file);
  QMenuBar* MenuBar();
  void CloseRequested(int index);
  // Places the parts aligned in a container (レイアウト) after any change of sizes.
  void Relayout(QWidget* holder);
  void DragSplitter(int index, int delta);
  TPropResult SendMessage(int index, const std::string& arg, std::string& result);
  // Files dropped on a part: its drop event, or what the kind does without one.
  void DropFiles(int index, const QStringList& files);

  QPointer<QWidget> main_;
  std::unique_ptr<QWidget> ownMain_;
  QPointer<QMenuBar> menuBar_;
  std::vector<std::unique_ptr<TPart>> parts_;
  TPartEvents* events_ = nullptr;
  std::string lastError_;
  bool interactive_ = true;
  int quiet_ = 0;            // > 0 while the host itself changes widgets: no events
  bool anyAligned_ = false;  // some part has had a レイアウト: sizes are watched from then on
  bool layingOut_ = false;
  bool browsers_ = false;  // a browser was made: the engine is shut down with the parts
};

}  // namespace yume
