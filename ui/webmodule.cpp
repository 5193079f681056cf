// yume-web.so: the browser part on Qt WebEngine. Loaded by ui/browserloader.cpp when a script
// first makes a browser; nothing else in the programs links the web engine.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <vector>

#include "ui/browserpart.h"

namespace yume {

namespace {

// One profile for the program, kept in memory only: a script's pages leave nothing behind in
// the user's folders.
QPointer<QWebEngineProfile>& ProfileSlot() {
  static QPointer<QWebEngineProfile> profile;
  return profile;
}
QWebEngineProfile* Profile() {
  QPointer<QWebEngineProfile>& profile = ProfileSlot();
  if (!profile) profile = new QWebEngineProfile(QCoreApplication::instance());
  return profile;
}

// Every view, so that they can all go before the program ends.
std::vector<QPointer<QWebEngineView>>& Views() {
  static std::vector<QPointer<QWebEngineView>> views;
  return views;
}

// The parts are gone (the program ends): the views and the profile go now, and the engine gets
// a moment to finish tearing them down while the program is still whole. (The console program
// never destroys its application, so the engine's threads would otherwise still be at work
// while the libraries unload.)
void ShutDown() {
  bool any = false;
  for (QPointer<QWebEngineView>& v : Views()) {
    if (v) {
      delete v.data();
      any = true;
    }
  }
  Views().clear();
  if (ProfileSlot()) {
    delete ProfileSlot().data();
    any = true;
  }
  if (!any) return;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 150) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class TView;

// Inside the engine's own calls (a navigation or a new window being decided, where script code
// runs) the engine does no other work until they return: a wait for a page would never end.
int inEngine = 0;
struct TInEngine {
  TInEngine() { ++inEngine; }
  ~TInEngine() { --inEngine; }
};

// The answer of an asynchronous call, waited for on a local loop. The call may answer after
// the wait gave up: it then finds no loop to wake.
struct TReply {
  QString Text;
  bool Got = false;
  QEventLoop* Loop = nullptr;
  void Done() {
    Got = true;
    if (Loop) Loop->quit();
  }
  bool Wait(int msec) {
    if (Got) return true;
    if (inEngine > 0) return false;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(msec);
    Loop = &loop;
    loop.exec();
    Loop = nullptr;
    return Got;
  }
};

class TPage : public QWebEnginePage {
 public:
  TPage(TView& view, QObject* parent) : QWebEnginePage(Profile(), parent), view_(view) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool mainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  TView& view_;
};

class TView : public QWebEngineView, public TBrowserView {
 public:
  TView() {
    Views().push_back(this);
    page_ = new TPage(*this, this);
    setPage(page_);
    connect(this, &QWebEngineView::loadStarted, this, [this]() { SetLoading(true); });
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
      TInCallback in(*this);
      SetLoading(false);
      // A navigation the script refused completes nothing.
      const bool refused = !ok && refused_;
      refused_ = false;
      if (Completed && !refused) Completed();
    });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this]() {
      dead_ = true;
      SetLoading(false);
    });
  }
  ~TView() override {
    // The part is gone: no more events.
    Completed = nullptr;
    BeforeNavigate = nullptr;
    NewWindow = nullptr;
    Loading = nullptr;
  }

  QWidget* Widget() override { return this; }

  void Navigate(const QString& url) override {
    SetLoading(true);
    load(QUrl::fromUserInput(url));
  }
  bool WriteHtml(const QString& html, int msec) override {
    TInCallback in(*this);
    if (inEngine > 0 || !WaitLoaded(msec)) return false;
    // Written into the document as a page's own script would: no navigation, no history entry.
    return RunScript(QStringLiteral("document.open();document.write(") + Literal(html) +
                         QStringLiteral(");document.close();"),
                     msec);
  }
  bool Go(int step) override {
    QWebEngineHistory* h = history();
    if (step < 0 ? !h->canGoBack() : !h->canGoForward()) return false;
    SetLoading(true);
    if (step < 0)
      back();
    else
      forward();
    return true;
  }
  bool SetTitle(const QString& title, int msec) override {
    TInCallback in(*this);
    if (inEngine > 0 || !WaitLoaded(msec)) return false;
    return RunScript(QStringLiteral("document.title=") + Literal(title), msec);
  }

  bool Html(QString& html, int msec) override {
    TInCallback in(*this);
    if (inEngine > 0 || !WaitLoaded(msec)) return false;
    auto reply = std::make_shared<TReply>();
    page_->toHtml([reply](const QString& h) {
      reply->Text = h;
      reply->Done();
    });
    if (!reply->Wait(msec)) return false;
    html = reply->Text;
    return true;
  }
  QString Url(int msec) override {
    TInCallback in(*this);
    WaitLoaded(msec);
    return url().scheme() == QStringLiteral("data") ? QString() : url().toString();
  }
  QString Title(int msec) override {
    TInCallback in(*this);
    WaitLoaded(msec);
    return title();
  }
  bool Alive() const override { return !dead_; }

  bool Blocked() const override { return inEngine > 0; }

  void Dispose() override {
    Completed = nullptr;
    BeforeNavigate = nullptr;
    NewWindow = nullptr;
    Loading = nullptr;  // the part model forgets a destroyed part's load itself
    hide();
    disposed_ = true;
    if (callbacks_ == 0) delete this;
  }

  // Marks one of the view's callbacks, or a wait of its own, running; the last one out deletes
  // a view disposed meanwhile.
  struct TInCallback {
    TView& v;
    explicit TInCallback(TView& view) : v(view) { ++v.callbacks_; }
    ~TInCallback() {
      if (--v.callbacks_ == 0 && v.disposed_) v.deleteLater();
    }
  };

  // The first load: proves that the engine and its renderer start here.
  bool Start(int msec) {
    bool ok = false, done = false;
    QEventLoop loop;
    auto c = connect(this, &QWebEngineView::loadFinished, &loop, [&](bool success) {
      ok = success;
      done = true;
      loop.quit();
    });
    setHtml(QStringLiteral("<html><body></body></html>"), QUrl(QStringLiteral("about:blank")));
    if (!done) Wait(loop, msec);
    disconnect(c);
    return ok && !dead_;
  }

 private:
  void SetLoading(bool on) {
    if (on == loading_) return;
    loading_ = on;
    if (Loading) Loading(on);
  }
  // Waits for a load under way; false when it did not end in time (at once where the engine
  // cannot work).
  bool WaitLoaded(int msec) {
    if (!loading_) return !dead_;
    if (inEngine > 0) return false;
    QEventLoop loop;
    auto c = connect(this, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    auto d = connect(page_, &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
    Wait(loop, msec);
    disconnect(c);
    disconnect(d);
    return !loading_ && !dead_;
  }
  // A text as a script literal.
  static QString Literal(const QString& text) {
    const QString array =
        QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    return array.mid(1, array.size() - 2);
  }
  // Runs a script in the page and waits until it has run.
  bool RunScript(const QString& script, int msec) {
    auto reply = std::make_shared<TReply>();
    page_->runJavaScript(script, [reply](const QVariant&) { reply->Done(); });
    return reply->Wait(msec);
  }
  static void Wait(QEventLoop& loop, int msec) {
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(msec);
    loop.exec();
  }

  TPage* page_ = nullptr;
  bool loading_ = false;
  bool dead_ = false;
  bool disposed_ = false;
  int callbacks_ = 0;

 public:
  bool refused_ = false;  // the last navigation asked about was refused
};

bool TPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool mainFrame) {
  // Frames inside a page are the page's own business.
  if (!mainFrame || !view_.BeforeNavigate) return true;
  TView::TInCallback in(view_);
  TInEngine engine;
  const bool allowed = view_.BeforeNavigate(url.toString());
  view_.refused_ = !allowed;
  return allowed;
}

QWebEnginePage* TPage::createWindow(WebWindowType) {
  TView::TInCallback in(view_);
  TInEngine engine;
  TBrowserView* target = nullptr;
  const TBrowserView::TNewWindow how =
      view_.NewWindow ? view_.NewWindow(target) : TBrowserView::nwOwnWindow;
  if (how == TBrowserView::nwRefuse) return nullptr;
  if (how == TBrowserView::nwTarget && target) return static_cast<TView*>(target)->page();
  // A window of its own, gone when it is closed.
  auto* own = new QWebEngineView;
  own->setAttribute(Qt::WA_DeleteOnClose);
  own->setPage(new QWebEnginePage(Profile(), own));
  own->resize(800, 600);
  own->show();
  return own->page();
}

}  // namespace

}  // namespace yume

extern "C" __attribute__((visibility("default"))) yume::TBrowserView* YumeMakeBrowser(
    QString* error) {
  auto* view = new yume::TView;
  if (!view->Start(20000)) {
    delete view;
    if (error) *error = QStringLiteral("the web engine did not start (no renderer)");
    return nullptr;
  }
  return view;
}

extern "C" __attribute__((visibility("default"))) void YumeShutDownBrowsers() {
  yume::ShutDown();
}
