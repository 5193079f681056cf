// Dates, times, waiting and the one-shot timer.
//
// Dates cross to scripts only as text, read and written by the same functions the table
// engine's date sort uses (table/datetime.h); the calendar work is in commands/system/dates.h.
#include <algorithm>
#include <cmath>

#include "commands/families.h"
#include "commands/system/dates.h"
#include "core/app.h"
#include "core/cmdlib.h"
#include "core/control.h"
#include "core/hash.h"
#include "core/host.h"
#include "core/messages.h"
#include "core/yumebase.h"
#include "table/datetime.h"

namespace yume {

namespace {

// A wait sleeps in short slices between passes of message processing, so that the window
// stays responsive and a timer that falls due meanwhile is not held back long.
constexpr uint32_t kWaitSliceMs = 10;

// The date arguments of 日数差 and 秒差 share one message for any text that is no date.
// Commands with two arguments evaluate both before reading either, so that a failure leaves
// none of them behind for the next statement.
double DateForDifference(TYumeBase& y, const std::string& text) {
  const std::optional<double> v = ReadDateTime(text);
  if (!v) RaiseError(y, "日時の指定が不正です。");
  return *v;
}

// The base of 日付加算 and 時間加算: the reader's own message when it is no date.
double BaseDate(TYumeBase& y, const std::string& text) {
  const std::optional<double> v = ReadDateTime(text);
  if (!v) RaiseError(y, DateUnreadableMessage(text));
  return *v;
}

// 曜日 and 曜日を数値で得る name the argument itself in their error.
int WeekdayOf(TYumeBase& y, const std::string& text) {
  const std::optional<double> v = ReadDateTime(text);
  if (!v) RaiseArgumentError(y, text, "：年月日の取得に失敗");
  return Weekday(*v);
}

// A count of seconds as whole milliseconds (truncated); the range error beyond limit. A
// negative count is refused (the timer) or counts as none (a wait that is already over).
uint32_t Milliseconds(TArgs& a, long double seconds, long double limit, bool negativeIsNone) {
  long double ms = std::trunc(seconds * 1000);
  if (negativeIsNone && ms < 0) ms = 0;
  if (!(ms >= 0 && ms <= limit)) a.RangeError();
  return static_cast<uint32_t>(ms);
}

// 今 () 34
void CmdNow(TYumeBase& y, TArgs&) {
  SetSoreText(y, FormatTime(NowValue()));
}

// 今日 () 35
void CmdToday(TYumeBase& y, TArgs&) {
  SetSoreText(y, FormatDate(NowValue()));
}

// 曜日 (?の) 142
void CmdWeekday(TYumeBase& y, TArgs& a) {
  SetSoreText(y, WeekdayName(WeekdayOf(y, a.Text(0))));
}

// 曜日を数値で得る (?の) 376
void CmdWeekdayNumber(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, WeekdayOf(y, a.Text(0)));
}

// 日付加算 (?に,?を) 303
void CmdAddDate(TYumeBase& y, TArgs& a) {
  const std::string& offsetText = a.Text(1);
  const std::string& baseText = a.Text(0);
  const std::optional<TDateOffset> offset = ReadDateOffset(offsetText, '/');
  if (!offset) a.RangeError();
  const std::optional<double> moved = AddDateOffset(BaseDate(y, baseText), *offset);
  if (!moved) a.RangeError();
  SetSoreKeepType(y, FormatDate(*moved));
}

// 時間加算 (?に,?を) 302
void CmdAddTime(TYumeBase& y, TArgs& a) {
  const std::string& offsetText = a.Text(1);
  const std::string& baseText = a.Text(0);
  const std::optional<TDateOffset> offset = ReadDateOffset(offsetText, ':');
  if (!offset) a.RangeError();
  SetSoreKeepType(y, FormatTime(AddTimeOffset(BaseDate(y, baseText), *offset)));
}

// 日数差 (?と,?の) 304
void CmdDayDifference(TYumeBase& y, TArgs& a) {
  const std::string& secondText = a.Text(1);
  const double first = DateForDifference(y, a.Text(0));
  const double second = DateForDifference(y, secondText);
  SetSoreInteger(y, DaysBetween(first, second));
}

// 秒差 (?と,?の) 305
void CmdSecondDifference(TYumeBase& y, TArgs& a) {
  const std::string& secondText = a.Text(1);
  const double first = DateForDifference(y, a.Text(0));
  const double second = DateForDifference(y, secondText);
  const std::optional<int32_t> seconds = SecondsBetween(first, second);
  if (!seconds) a.RangeError();
  SetSoreInteger(y, *seconds);
}

// システム時間 () 377
void CmdTickCount(TYumeBase& y, TArgs&) {
  SetSoreInteger(y, TickCount());
}

// 和暦に変換 (?を) 389
void CmdToJapaneseEra(TYumeBase& y, TArgs& a) {
  const std::optional<double> v = ReadDateTime(a.Text(0));
  if (!v) a.ArgumentError("日付に変換出来ません。");
  SetSoreText(y, JapaneseEraDate(*v));
}

// 待つ (?秒) 21 -- lets pending messages run, then keeps them running until the time is up
// or the program is asked to end. An event that arrives meanwhile (the timer) is entered by
// the message processing and runs once the wait is over.
void CmdWaitSeconds(TYumeBase& y, TArgs& a) {
  const uint32_t ms = Milliseconds(a, a.Number(0), 4294967295.0L, true);
  THost* host = y.Host;
  if (host) host->ProcessMessages();
  const uint64_t deadline = MonotonicMs() + ms;
  while (!y.StopRun) {
    const uint64_t now = MonotonicMs();
    if (now >= deadline) break;
    if (host) host->ProcessMessages();
    if (y.StopRun) break;
    SleepMs(static_cast<uint32_t>(std::min<uint64_t>(deadline - now, kWaitSliceMs)));
  }
}

// タイマー設定 (?秒後に,?へ飛ぶ) 263 -- arms the one-shot timer; no label disarms it.
void CmdSetTimer(TYumeBase& y, TArgs& a) {
  const std::string name = LabelNameAsWritten(y, a.Phrase(1));
  const long double seconds = a.Number(0);
  if (name.empty()) {
    if (y.App) y.App->StopYumeTimer();
    y.TimerLabel = nullptr;
    return;
  }
  THashNode* w = y.Dict.FindScoped(name, false);
  if (!w || w->Kind != wkLabel || !w->RefPos) RaiseError(y, msg::kJumpToUndefined, {name});
  // The event loop's timers count in a signed 32-bit number of milliseconds.
  const uint32_t ms = Milliseconds(a, seconds, 2147483647.0L, false);
  if (y.App) {
    y.App->SetYumeTimer(static_cast<int>(ms), w->RefPos);
  } else {
    y.TimerLabel = w->RefPos;
  }
}

// タイマー解除 () 313
void CmdStopTimer(TYumeBase& y, TArgs&) {
  if (y.App) y.App->StopYumeTimer();
}

constexpr CommandDef kCommands[] = {
    {"タイマー設定", "?秒後に,?へ飛ぶ", 263, CmdSetTimer},
    {"タイマー解除", "", 313, CmdStopTimer},
    {"待つ", "?秒", 21, CmdWaitSeconds},
    {"今", "", 34, CmdNow},
    {"今日", "", 35, CmdToday},
    {"曜日", "?の", 142, CmdWeekday},
    {"曜日を数値で得る", "?の", 376, CmdWeekdayNumber},
    {"日付加算", "?に,?を", 303, CmdAddDate},
    {"時間加算", "?に,?を", 302, CmdAddTime},
    {"日数差", "?と,?の", 304, CmdDayDifference},
    {"秒差", "?と,?の", 305, CmdSecondDifference},
    {"システム時間", "", 377, CmdTickCount},
    {"和暦に変換", "?を", 389, CmdToJapaneseEra},
};

}  // namespace

const TFamily kDateFamily{"日付と時間", kCommands, {}};

}  // namespace yume
