#include "core/app.h"

#include "core/error.h"
#include "core/executor.h"
#include "core/messages.h"
#include "core/pack.h"
#include "core/plan.h"
#include "core/prepare.h"
#include "core/registry.h"
#include "core/sjis.h"
#include "core/stackroom.h"
#include "platform/paths.h"

namespace yume {

const char* const kLanguageVersion = "1.84o2";

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& params) {
  TCommandLine cmd;
  for (size_t i = 0; i < params.size(); ++i) {
    const std::string& p = params[i];
    if (p.empty() || p[0] != '-') {
      if (cmd.StartFile.empty()) cmd.StartFile = p;
      continue;
    }
    auto value = [&]() -> std::string {
      return i + 1 < params.size() ? params[++i] : std::string();
    };
    if (p == "-debug") {
      cmd.Debug = true;
    } else if (p == "-linestop") {
      cmd.LineStop = true;
    } else if (p == "-runtime") {
      cmd.RuntimeFile = value();
      cmd.StartFile = cmd.RuntimeFile;
      cmd.ResourceLast = false;
    } else if (p == "-resource") {
      cmd.ResourceFile = value();
      cmd.ResourceLast = true;
    } else if (p == "-security") {
      std::string level = Lower(value());
      if (level == "low") cmd.SecurityLevel = 0;
      if (level == "mid") cmd.SecurityLevel = 1;
      if (level == "high") cmd.SecurityLevel = 2;
    }
  }
  return cmd;
}

TYumeApp::TYumeApp(THost& host, std::vector<std::string> params) : host_(host) {
  base_.Params = std::move(params);
  if (base_.Params.empty()) base_.Params.push_back(ExecutableFile());
  base_.Host = &host_;
  base_.App = this;
  MarkStackTop();
}

TYumeApp::~TYumeApp() = default;

void TYumeApp::Create() {
  TYumeBase& y = base_;
  firstRun_ = true;
  std::string startFile;
  const std::string& self = y.Params[0];
  size_t programParam = 1;

  // "-run" first makes a packed program ignore its own pack and act as the plain runtime.
  const bool ownPack = y.Params.size() < 2 || y.Params[1] != "-run";
  bool unpacked = false;
  if (ownPack) {
    try {
      unpacked = UnpackProgram(self);
    } catch (const std::exception& e) {
      StartFailed(std::string("ファイルの展開に失敗しました。") + e.what(), "",
                  TMessageKind::Error);
      return;
    }
  }
  if (unpacked) {
    programParam = 0;
  } else {
    std::vector<std::string> rest(y.Params.begin() + 1, y.Params.end());
    if (!rest.empty()) {
      cmd_ = ParseCommandLine(rest);
      y.DebugMode = cmd_.Debug;
      y.LineStop = cmd_.LineStop;
      if (cmd_.SecurityLevel >= 0) y.SecurityLevel = cmd_.SecurityLevel;
      startFile = cmd_.StartFile;
      if (!OpenNamedPacks()) return;
    }
    if (startFile.empty()) {
      std::string def = ChangeFileExt(self, ".ymr");
      if (FileExists(def)) {
        startFile = def;
        y.DefaultStart = true;
        programParam = 0;
      }
    }
  }

  if (y.RuntimeGiven) {
    y.ProgramFile = cmd_.RuntimeFile;
  } else if (programParam < y.Params.size()) {
    y.ProgramFile = y.Params[programParam];
  }
  // Absolute, so that it still holds after the script's folder becomes the current one.
  y.ProgramFolder = ExtractFilePath(ExpandFileName(y.ProgramFile));

  // A script that came out of a pack is loaded already; its file is the executable.
  if (!startFile.empty() && !y.FromPack) {
    std::string ext = Lower(ExtractFileExt(startFile));
    if (ext != ".exe" && ext != ".scr") LoadStartFile(startFile);
  }
}

void TYumeApp::StartFailed(const std::string& text, const std::string& caption, TMessageKind kind) {
  host_.ShowMessage(text, caption, kind);
  base_.FileName.clear();
  endedByError_ = true;
}

bool TYumeApp::OpenNamedPacks() {
  TYumeBase& y = base_;
  auto runtime = [&]() {
    y.RuntimeGiven = true;
    bool unpacked = false;
    try {
      unpacked = UnpackProgram(cmd_.RuntimeFile);
    } catch (const std::exception& e) {
      StartFailed(std::string("ファイルの展開に失敗しました。") + e.what(), "",
                  TMessageKind::Error);
      return false;
    }
    if (!unpacked) {
      StartFailed("指定されたプログラムファイルは壊れています。", "プログラムの実行エラー",
                  TMessageKind::Warning);
      return false;
    }
    return true;
  };
  auto resource = [&]() {
    // The caller's file is only read: at the end nothing but our own temporary files goes.
    try {
      y.Pack = OpenPackFile(cmd_.ResourceFile);
    } catch (const std::exception& e) {
      StartFailed(std::string("リソースファイルの取り込みに失敗しました。\r\n") + e.what(), "",
                  TMessageKind::Error);
      return false;
    }
    return true;
  };
  const bool hasRuntime = !cmd_.RuntimeFile.empty(), hasResource = !cmd_.ResourceFile.empty();
  if (cmd_.ResourceLast) return (!hasRuntime || runtime()) && (!hasResource || resource());
  return (!hasResource || resource()) && (!hasRuntime || runtime());
}

bool TYumeApp::UnpackProgram(const std::string& exe) {
  TYumeBase& y = base_;
  std::unique_ptr<TPackStore> pack = OpenAppendedPack(exe);
  if (!pack) return false;
  y.Pack = std::move(pack);
  std::string script;
  if (!y.Pack->ReadEntry(kPackStartScript, script)) return false;
  if (size_t zero = script.find('\0'); zero != std::string::npos) script.resize(zero);
  y.Source = ScriptFileText(script);
  y.FileName = kPackStartScript;
  y.FromPack = true;
  return true;
}

void TYumeApp::LoadStartFile(const std::string& name) {
  TYumeBase& y = base_;
  std::string raw;
  if (!ReadWholeFile(name, raw)) {
    host_.ShowMessage("起動ファイル「" + name + "」が読込めません。", "", TMessageKind::Error);
    endedByError_ = true;
    return;
  }
  y.Source = ScriptFileText(raw);
  y.FileName = name;
  std::string folder = ExtractFilePath(name);
  if (!folder.empty()) SetCurrentFolder(folder);
}

void TYumeApp::EventDoTimer() {
  TYumeBase& y = base_;
  host_.SetTimer(THostTimer::EventDo, 1, false);
  if (!firstRun_) return;
  firstRun_ = false;
  host_.ProcessMessages();
  if (y.FileName.empty()) {
    Close();
    return;
  }
  try {
    StartUp();
    y.SetCur(y.Source.c_str());
  } catch (const std::exception& e) {
    if (dynamic_cast<const EYume*>(&e)) {
      LogError(y, e);
    } else {
      y.ErrorLog += FormatError(y, e.what()) + "\r\n";
    }
    endedByError_ = true;
    ShowErrorDialog();
    y.Cur = nullptr;
    Close();
    return;
  }
  try {
    RunProgram();
  } catch (const EYume& e) {
    // Show the log rather than lose it.
    LogError(y, e);
    ShowErrorDialog();
  } catch (const std::exception& e) {
    host_.ShowMessage(FormatError(y, std::string("システムエラー:") + e.what()), "",
                      TMessageKind::Error);
    endedByError_ = true;
  }
}

void TYumeApp::StartUp() {
  TYumeBase& y = base_;
  y.ErrorLog.clear();
  closingEventRunning_ = false;
  y.Cur = nullptr;
  y.Line = 0;
  y.ResetForRun();
  RegisterAll(y);
  PrepareSource(y, y.Source);
  y.AddText(y.Source);
  CollectLabels(y, y.Source, y.FileName);
  if (FindAligned(y.Source, "母艦浮上") == std::string::npos) {
    Surface();
    host_.ProcessMessages();
  }
}

void TYumeApp::RunCallBody() {
  TYumeBase& y = base_;
  if (step_ != ExecuteStatement || !y.Plans || !y.Cur || y.StopRun) {
    RunProgram(true);
    return;
  }
  // A body read once runs to its 戻る in RunLoopBody.
  RunFirstStep([&y] { return RunLoopBody(y) && !y.Cur; });
}

void TYumeApp::HandleFailure(const std::exception& e) {
  if (const auto* own = dynamic_cast<const EYume*>(&e)) {
    LogError(base_, *own);
    HandleStatementError(e, true);
  } else {
    HandleStatementError(e, false);
  }
}

void TYumeApp::RunProgram(bool endKnown, const std::exception_ptr& failed) {
  TYumeBase& y = base_;
  ++runDepth_;
  struct DepthGuard {
    int& d;
    ~DepthGuard() { --d; }
  } guard{runDepth_};

  // A failure handed in is reported first, as the loop would have reported it (near the end of
  // the stack it is usually this very runaway: raising it again would report it twice).
  if (runDepth_ > 1 && !failed && StackNearlyFull()) {
    RaiseError(y, msg::kRunaway);
  }
  const char* last = nullptr;
  // A nested run (a value call inside a statement) leaves the step of the run around it as it was.
  struct StepGuard {
    TYumeBase& y;
    const char* start;
    ~StepGuard() { y.StepStart = start; }
  } stepGuard{y, y.StepStart};
  if (y.Cur && !endKnown) y.End = y.ContextEnd();
  if (failed) {
    try {
      std::rethrow_exception(failed);
    } catch (const std::exception& e) {
      HandleFailure(e);
    }
  }
  while (y.Cur) {
    if (y.Cur == y.End || *y.Cur == '\0') {
      // End of a text: end frames until one leaves us somewhere to go on.
      if (y.Runs.Count() == 0) break;
      try {
        check_(y);
        if (y.Cur) y.End = y.ContextEnd();
      } catch (const std::exception& e) {
        HandleFailure(e);
      }
      last = nullptr;
      continue;
    }
    try {
      if (y.Runs.Count() > 65535) {
        RaiseError(y, msg::kRunaway);
      }
      if (y.StopRun) break;
      if (y.Cur == last) RaiseError(y, "特定できないシステムエラーです(ToT)");
      y.StepStart = y.Cur;
      step_(y);
      y.StepSinceErrorJump = true;
    } catch (const std::exception& e) {
      HandleFailure(e);
    }
    last = y.StepStart;
  }
}

void TYumeApp::HandleStatementError(const std::exception& e, bool logged) {
  TYumeBase& y = base_;
  if (y.VarErrorMessage) {
    y.VarErrorMessage->SetValueText(e.what());
    y.VarErrorMessage->TypeText = "s";
  }
  // The error label runs in the current flow. If it fails again before any step has
  // succeeded since the last jump (its own first statement fails), jumping once more would
  // loop for ever: the error is then treated as if no label were set.
  if (y.ErrorLabel && y.ErrorLabel->RefPos && y.StepSinceErrorJump) {
    y.ErrorReturn = y.Cur;
    y.SetCur(y.ErrorLabel->RefPos);
    y.StepSinceErrorJump = false;
    return;
  }
  if (!y.ErrorsShown) return;
  if (!logged) {
    std::string& log = y.ErrorLog;
    log += FormatError(y, e.what());
    log += "\r\n特定できないシステムエラーです(ToT)\r\n";
  }
  ShowErrorDialog();
}

void TYumeApp::ShowErrorDialog() {
  TYumeBase& y = base_;
  TErrorChoice choice = host_.ShowErrorDialog(y.ErrorLog, y.DebugMode);
  switch (choice) {
    case TErrorChoice::Continue:
    case TErrorChoice::Debug:  // the debug dialog opens from here once it exists
      break;
    case TErrorChoice::End:
      y.StopRun = true;
      y.Cur = nullptr;
      endedByError_ = true;
      Close();
      break;
  }
}

void TYumeApp::EnterEvent(const char* labelBody) {
  TYumeBase& y = base_;
  if (!labelBody) return;
  if (y.Cur && runDepth_ > 0) {
    // A loop is running (waiting inside a command): the label runs in it as a call.
    TRunControl frame;
    frame.Kind = fkEvent;
    frame.ReturnPos = y.Cur;
    frame.EndPos = labelBody;
    frame.SourceName = y.FileName;
    y.Runs.Push(std::move(frame));
    // The event runs like a call: its own local scope, closed when it returns.
    y.Dict.PushScope();
    y.SetCur(labelBody);
    return;
  }
  // Idle: the label runs in a nested loop with a fresh frame level; the source name is put
  // back afterwards, since the label may end anywhere.
  const std::string savedFile = y.FileName;
  y.Runs.PushLevel();
  y.SetCur(labelBody);
  try {
    RunProgram();
  } catch (...) {
    y.Runs.PopLevel();
    y.FileName = savedFile;
    throw;
  }
  y.Runs.PopLevel();
  y.FileName = savedFile;
}

void TYumeApp::OnTimer(THostTimer timer) {
  TYumeBase& y = base_;
  switch (timer) {
    case THostTimer::EventDo:
      EventDoTimer();
      break;
    case THostTimer::Yume:
      host_.SetTimer(THostTimer::Yume, 0, false);
      yumeTimerArmed_ = false;
      if (y.TimerLabel) EnterEvent(y.TimerLabel);
      break;
    case THostTimer::ObjDel:
      host_.SetTimer(THostTimer::ObjDel, 1, false);
      y.DeferredRelease.clear();
      host_.ProcessMessages();
      break;
    case THostTimer::Count:
      break;
  }
}

void TYumeApp::SetYumeTimer(int intervalMs, const char* labelBody) {
  base_.TimerLabel = labelBody;
  yumeTimerArmed_ = true;
  host_.SetTimer(THostTimer::Yume, intervalMs, true);
}

void TYumeApp::StopYumeTimer() {
  yumeTimerArmed_ = false;
  host_.SetTimer(THostTimer::Yume, 0, false);
}

void TYumeApp::Wait() {
  TYumeBase& y = base_;
  y.Runs.Clear();
  y.Cur = nullptr;
  if (!y.DeferredRelease.empty()) host_.SetTimer(THostTimer::ObjDel, 1, true);
}

void TYumeApp::End() {
  TYumeBase& y = base_;
  y.Runs.Clear();
  y.Cur = nullptr;
  Close();
}

void TYumeApp::Surface() {
  windowHidden_ = false;
  host_.ShowMainWindow();
}

void TYumeApp::Close() {
  if (closeAllowed_) return;
  host_.CloseMainWindow();
}

void TYumeApp::SetCannotClose(const char* value) {
  if (base_.VarCannotClose) base_.VarCannotClose->SetValueText(value);
}

bool TYumeApp::CannotClose() const {
  return base_.VarCannotClose && base_.VarCannotClose->ValueText() == "1";
}

void TYumeApp::RunMainPartCloseEvent() {
  TYumeBase& y = base_;
  TObjNode* main = y.Objs.Find("母艦");
  if (!main || closingEventRunning_ || main->Texts[10].empty()) return;
  THashNode* label = y.Dict.Find(main->Texts[10], false);
  if (!label || label->Kind != wkLabel) return;
  closingEventRunning_ = true;
  try {
    EnterEvent(label->RefPos);
  } catch (...) {
    closingEventRunning_ = false;
    throw;
  }
  closingEventRunning_ = false;
}

bool TYumeApp::CloseQuery() {
  TYumeBase& y = base_;
  if (closeAllowed_) return true;
  RunMainPartCloseEvent();
  const char* before = y.Cur;
  if (y.ExitLabel) {
    const char* body = y.ExitLabel->RefPos;
    y.ExitLabel = nullptr;
    SetCannotClose("0");
    const char* beforeEnd = y.End;
    y.Runs.PushLevel();
    y.SetCur(body);
    RunProgram();
    y.Runs.PopLevel();
    y.End = beforeEnd;
  }
  if (CannotClose()) {
    y.Cur = before;
    return false;
  }
  closeAllowed_ = true;
  y.Cur = nullptr;
  y.StopRun = true;
  return true;
}

}  // namespace yume
