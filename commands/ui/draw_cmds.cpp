// Text output, drawing and images on the mothership and on image parts.
//
// The handlers read the drawing variables and the arguments and reach the surfaces through
// y.Draw (core/drawhost.h): texts go there as UTF-8, file names as system paths.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "commands/families.h"
#include "commands/system/guard.h"
#include "commands/system/packstore.h"
#include "commands/text/jconv.h"
#include "commands/ui/dialogtext.h"
#include "commands/ui/drawtext.h"
#include "core/cmdlib.h"
#include "core/drawhost.h"
#include "core/executor.h"
#include "core/hash.h"
#include "core/host.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

constexpr std::string_view kClipboardWord = "クリップボード";
constexpr int kImageKind = 2;  // イメージ
constexpr int kFormKind = 7;   // フォーム (the mothership too)

// Each line of text followed by CR LF (a text ending in a line break gets no empty line).
std::string WithLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    out.append(text.substr(start, end - start));
    out += "\r\n";
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  if (text.empty()) out = "\r\n";
  return out;
}

TDrawHost& Draw(TYumeBase& y) {
  if (!y.Draw) RaiseError(y, "この環境では描画できません。");
  return *y.Draw;
}

int TabWidth(TYumeBase& y) {
  long double n = 8;
  if (!TryStrToNumber(SystemText(y, "タブ文字の個数"), n) || n < 1) n = 8;
  return static_cast<int>(std::min<long double>(n, 256));
}

// The drawing font of 文字書体, 文字サイズ and 文字色, its name as UTF-8.
TDialogFont DrawFont(TYumeBase& y) {
  TDialogFont f =
      DrawingFont(SystemText(y, "文字書体"), SystemText(y, "文字サイズ"), SystemText(y, "文字色"));
  f.Color = ReadColor(SystemText(y, "文字色"));
  f.Name = Cp932ToUtf8(f.Name);
  return f;
}

TPenBrush PenBrush(TYumeBase& y) {
  TPenBrush pb;
  pb.PenColor = ReadColor(SystemText(y, "ペン色"));
  long double width = 1;
  if (!TryStrToNumber(SystemText(y, "ペン太さ"), width)) width = 1;
  pb.PenWidth = std::clamp(static_cast<int>(std::trunc(width)), 1, 1000);
  pb.BrushColor = ReadColor(SystemText(y, "塗り色"));
  pb.PenStyle = y.PenStyle;
  pb.BrushStyle = y.BrushStyle;
  return pb;
}

std::vector<std::string> Utf8Lines(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const std::string& l : lines) out.push_back(Cp932ToUtf8(l));
  return out;
}

// The word a name means: looked up as written and, failing that, folded.
THashNode* WordOfName(TYumeBase& y, std::string_view n) {
  THashNode* w = y.Dict.FindScoped(n, false);
  return w ? w : y.Dict.FindScoped(n, true);
}

// The part a name means: its index in the part list, or -1 when the name is no part.
int PartIndex(TYumeBase& y, std::string_view name) {
  THashNode* w = WordOfName(y, TrimBlanks(name));
  if (!w || w->Kind != wkPart || !y.Objs.Get(static_cast<size_t>(w->Tag))) return -1;
  return w->Tag;
}

// The part named by a slot (the word as written, else the text it holds).
int PartOfSlot(TYumeBase& y, TArgs& a, size_t i, std::string& name) {
  if (THashNode* w = a.NamedWord(i); w && w->Kind == wkPart) {
    name = w->Name;
    if (y.Objs.Get(static_cast<size_t>(w->Tag))) return w->Tag;
    RaiseError(y, msg::kWordNotMade, {name});
  }
  // A word holding a part's name stands for that part; otherwise the error names what the
  // script wrote.
  const THashNode* written = a.NamedWord(i);
  name = a.Text(i);
  const int index = PartIndex(y, name);
  if (index < 0) RaiseError(y, msg::kWordNotMade, {written ? written->Name : name});
  return index;
}

// A part whose surface a command draws on: an image part or a form (the mothership included).
int SurfaceOfSlot(TYumeBase& y, TArgs& a, size_t i) {
  std::string name;
  const int index = PartOfSlot(y, a, i, name);
  const int kind = y.Objs.Get(static_cast<size_t>(index))->Kind;
  if (kind != kImageKind && kind != kFormKind)
    RaiseError(y, "\"%s\"は、イメージではありません。", {name});
  if (!Draw(y).HasSurface(index)) RaiseError(y, msg::kWordNotMade, {name});
  return index;
}

// Point and capture commands: それ (or nothing) means the mothership.
int TargetOfSlot(TYumeBase& y, TArgs& a, size_t i) {
  if (a.Omitted() && i == 0) return 0;
  if (TrimBlanks(a.Phrase(i)) == "それ") return 0;
  std::string name;
  const int index = PartOfSlot(y, a, i, name);
  if (!Draw(y).HasSurface(index)) RaiseError(y, msg::kWordNotMade, {name});
  return index;
}

// Where a picture named by a script comes from: a packed entry, the clipboard, a part (a name
// without extension) or a file.
TPictureSource PictureSource(TYumeBase& y, const std::string& name) {
  TPictureSource src;
  const std::string packed = ExtractPackedFile(y, name);
  if (!packed.empty()) {
    src.File = SysPath(packed);
    src.Ext = LowerExt(name);
    return src;
  }
  if (name == kClipboardWord) {
    src.Clipboard = true;
    return src;
  }
  if (ExtractFileExt(name).empty()) {
    const int index = PartIndex(y, ToHalfWidth(name));
    const TObjNode* node = index >= 0 ? y.Objs.Get(static_cast<size_t>(index)) : nullptr;
    if (!node || (node->Kind != kImageKind && node->Kind != kFormKind) ||
        !Draw(y).HasSurface(index))
      RaiseError(y, "画像として、\"%s\"を読み込めません。", {name});
    src.Part = index;
    return src;
  }
  src.File = SysPath(FindProgramFile(y, name));
  src.Ext = LowerExt(name);
  return src;
}

// The picture a slot names: a part written as its word (an image part or a form), else the
// name its value gives. name receives the name for messages.
TPictureSource SourceOfSlot(TYumeBase& y, TArgs& a, size_t i, std::string& name) {
  if (const THashNode* w = a.NamedWord(i); w && w->Kind == wkPart) {
    const TObjNode* node = y.Objs.Get(static_cast<size_t>(w->Tag));
    name = w->Name;
    if (!node || (node->Kind != kImageKind && node->Kind != kFormKind) ||
        !Draw(y).HasSurface(w->Tag))
      RaiseError(y, "画像として、\"%s\"を読み込めません。", {name});
    TPictureSource src;
    src.Part = w->Tag;
    return src;
  }
  name = a.Text(i);
  return PictureSource(y, name);
}

// The errors of picture loading.
[[noreturn]] void RaiseLoadError(TYumeBase& y, const std::string& name, TDrawStatus st) {
  switch (st) {
    case TDrawStatus::Unsupported:
      RaiseError(y, "\"%s\"が読込めません。未対応のファイル形式です。", {name});
    case TDrawStatus::NoSurface:
      RaiseError(y, "画像として、\"%s\"を読み込めません。", {name});
    case TDrawStatus::CannotOpen:
      RaiseError(y, "画像ファイル\"%s\"が読込めません。", {name});
    default:
      RaiseError(y, "画像ファイル\"%s\"が読込めません。%s",
                 {name, Utf8ToCp932(Draw(y).LastError())});
  }
}

// A rectangle given as two points, or (first slot omitted) as four values in the second.
std::vector<int> RectOf(TYumeBase& y, TArgs& a) {
  if (a.Omitted()) {
    std::vector<int> r = a.Coordinates(1);
    if (r.size() != 4) a.ArgumentError();
    return r;
  }
  int x1, y1, x2, y2;
  a.Point(1, x2, y2);
  a.Point(0, x1, y1);
  return {x1, y1, x2, y2};
}

// The points of a polygon, one "(x,y)" per line.
std::vector<int> PolygonPoints(TYumeBase& y, std::string_view text) {
  std::vector<int> pts;
  const std::string_view t = TrimBlanks(text);
  size_t pos = 0;
  while (pos < t.size()) {
    const std::string_view line = TrimBlanks(NextLine(t, pos));
    if (line.empty()) continue;
    int px, py;
    ParsePoint(y, line, px, py);
    pts.push_back(px);
    pts.push_back(py);
  }
  return pts;
}

void Shape(TYumeBase& y, int part, TShape shape, const std::vector<int>& coords) {
  Draw(y).DrawShape(part, shape, coords, PenBrush(y));
}

// 表示 (?と) 0 -- prints at the text cursor, or appends the line to the file named by 表示出力先.
void CmdPrint(TYumeBase& y, TArgs& a) {
  std::string text = a.TakeText(0);
  THashNode* target = y.Dict.Find("表示出力先", false);
  if (target && !target->ValueText().empty()) {
    const std::string name = FindProgramFile(y, target->ValueText());
    if (!CheckFileAccess(y, name, Quoted(name) + "へ書き込みます。")) return;
    bool ok;
    if (FileExists(name)) {
      text += "\r\n";
      ok = AppendToFile(name, text);
    } else {
      ok = WriteWholeFile(name, WithLineEnds(text));
    }
    if (!ok) RaiseError(y, msg::kCannotWrite, {name});
    return;
  }
  y.Host->PrintText(text);
  if (y.Draw) {
    y.CursorY = y.Draw->PrintLines(Utf8Lines(PrintLinesOf(text, TabWidth(y))), y.CursorX, y.CursorY,
                                   y.Centering, DrawFont(y));
  }
}

// 移動 (?へ) 1
void CmdMove(TYumeBase& y, TArgs& a) {
  a.Point(0, y.CursorX, y.CursorY);
}

// 画面クリア (?で) 4 -- the background colour when omitted; the cursor to (10,10).
void CmdClear(TYumeBase& y, TArgs& a) {
  TDrawHost& d = Draw(y);
  d.Clear(a.Omitted() ? d.Background() : a.Color(0));
  y.CursorX = 10;
  y.CursorY = 10;
}

// センタリング 29 / センタリング解除 30
void CmdCenter(TYumeBase& y, TArgs&) {
  y.Centering = true;
}
void CmdUncenter(TYumeBase& y, TArgs&) {
  y.Centering = false;
}

// 線 (?から,?へ) 14 -- from the cursor when the start is omitted; the cursor stays.
void CmdLine(TYumeBase& y, TArgs& a) {
  int x1 = y.CursorX, y1 = y.CursorY, x2, y2;
  a.Point(1, x2, y2);
  if (!a.Omitted()) a.Point(0, x1, y1);
  Shape(y, 0, TShape::Line, {x1, y1, x2, y2});
}

// 四角形 (?から,?へ) 15
void CmdRect(TYumeBase& y, TArgs& a) {
  Shape(y, 0, TShape::Rectangle, RectOf(y, a));
}

// 円形 (?から,?へ) 16
void CmdEllipse(TYumeBase& y, TArgs& a) {
  Shape(y, 0, TShape::Ellipse, RectOf(y, a));
}

// 角丸四角形 (?から,?へ,?の) 505
void CmdRoundRect(TYumeBase& y, TArgs& a) {
  int cw, ch;
  a.Point(2, cw, ch);
  std::vector<int> r = RectOf(y, a);
  r.push_back(cw);
  r.push_back(ch);
  Shape(y, 0, TShape::RoundRect, r);
}

// 多角形 (?の) 507
void CmdPolygon(TYumeBase& y, TArgs& a) {
  const std::vector<int> pts = PolygonPoints(y, a.Text(0));
  if (pts.size() < 6)
    RaiseError(y, "多角形を使うときは、座標配列を３つ以上指定する必要があります。");
  Shape(y, 0, TShape::Polygon, pts);
}

// 画像表示 (?を) 18 -- at the cursor, which moves below the picture.
void CmdShowPicture(TYumeBase& y, TArgs& a) {
  std::string name;
  const TPictureSource src = SourceOfSlot(y, a, 0, name);
  int h = 0;
  if (Draw(y).DrawPicture(src, 0, y.CursorX, y.CursorY, 0, 0, y.Centering, h) != TDrawStatus::Ok)
    RaiseError(y, "\"%s\"が読込めません。", {name});
  y.CursorY += h;
}

// 画像拡大表示 (?を,?で) 39
void CmdShowPictureSized(TYumeBase& y, TArgs& a) {
  int w, hh;
  a.Point(1, w, hh);
  if (w <= 0 || hh <= 0) a.ArgumentError();
  std::string name;
  const TPictureSource src = SourceOfSlot(y, a, 0, name);
  int h = 0;
  if (Draw(y).DrawPicture(src, 0, y.CursorX, y.CursorY, w, hh, y.Centering, h) != TDrawStatus::Ok)
    RaiseError(y, "\"%s\"が読込めません。", {name});
  y.CursorY += h;
}

// 点描画 (?の,?へ) 123 -- one pixel of ペン色; a pixel outside is ignored.
void CmdSetPixel(TYumeBase& y, TArgs& a) {
  int px, py;
  a.Point(1, px, py);
  const int part = TargetOfSlot(y, a, 0);
  Draw(y).SetPixel(part, px, py, ReadColor(SystemText(y, "ペン色")));
}

// 座標色取得 (?の,?を) 329 -- それ = the colour; a pixel outside leaves それ as it was.
void CmdGetPixel(TYumeBase& y, TArgs& a) {
  int px, py;
  a.Point(1, px, py);
  const int part = TargetOfSlot(y, a, 0);
  uint32_t c;
  if (Draw(y).GetPixel(part, px, py, c)) SetSoreInteger(y, c);
}

// 線描画 / 四角形描画 / 円形描画 (?の,?から,?へ) 258 259 260
void PartShape(TYumeBase& y, TArgs& a, TShape shape) {
  int x1, y1, x2, y2;
  a.Point(2, x2, y2);
  a.Point(1, x1, y1);
  Shape(y, SurfaceOfSlot(y, a, 0), shape, {x1, y1, x2, y2});
}
void CmdPartLine(TYumeBase& y, TArgs& a) {
  PartShape(y, a, TShape::Line);
}
void CmdPartRect(TYumeBase& y, TArgs& a) {
  PartShape(y, a, TShape::Rectangle);
}
void CmdPartEllipse(TYumeBase& y, TArgs& a) {
  PartShape(y, a, TShape::Ellipse);
}

// 角丸四角形描画 (?に,?から,?へ,?の) 506
void CmdPartRoundRect(TYumeBase& y, TArgs& a) {
  int cw, ch, x1, y1, x2, y2;
  a.Point(3, cw, ch);
  a.Point(2, x2, y2);
  a.Point(1, x1, y1);
  Shape(y, SurfaceOfSlot(y, a, 0), TShape::RoundRect, {x1, y1, x2, y2, cw, ch});
}

// 多角形描画 (?に,?の) 508
void CmdPartPolygon(TYumeBase& y, TArgs& a) {
  const std::vector<int> pts = PolygonPoints(y, a.Text(1));
  const int part = SurfaceOfSlot(y, a, 0);
  if (pts.size() < 6) RaiseError(y, "多角形描画で座標配列は３つ以上必要です。");
  Shape(y, part, TShape::Polygon, pts);
}

// 文字描画 (?の,?へ,?と) 251 (anti-aliased) / 文字表示 439 (plain, clear background)
void PartText(TYumeBase& y, TArgs& a, bool smooth) {
  const std::string text = a.Text(2);
  int px, py;
  a.Point(1, px, py);
  const int part = SurfaceOfSlot(y, a, 0);
  Draw(y).DrawText(part, px, py, Utf8Lines(TextLines(text, TabWidth(y))), DrawFont(y), smooth);
}
void CmdSmoothText(TYumeBase& y, TArgs& a) {
  PartText(y, a, true);
}
void CmdPlainText(TYumeBase& y, TArgs& a) {
  PartText(y, a, false);
}

// タイル描画 (?へ,?を) 584 -- the destination covered with copies of the source.
void CmdTile(TYumeBase& y, TArgs& a) {
  auto image = [&](size_t i) {
    const THashNode* w = a.NamedWord(i);
    const int index = w && w->Kind == wkPart ? w->Tag : PartIndex(y, a.Text(i));
    const TObjNode* node = index >= 0 ? y.Objs.Get(static_cast<size_t>(index)) : nullptr;
    if (!node || node->Kind != kImageKind || !Draw(y).HasSurface(index))
      RaiseError(y, "イメージを指定してください。");
    return index;
  };
  const int src = image(1);
  Draw(y).Tile(image(0), src);
}

// ペンスタイル設定 (?に) 503 / 塗りスタイル設定 (?に) 504
void CmdPenStyle(TYumeBase& y, TArgs& a) {
  y.PenStyle = PenStyleOf(TrimBlanks(a.Text(0)));
}
void CmdBrushStyle(TYumeBase& y, TArgs& a) {
  y.BrushStyle = BrushStyleOf(TrimBlanks(a.Text(0)));
}

// 描画処理反映 117
void CmdFlush(TYumeBase& y, TArgs&) {
  if (y.Draw) y.Draw->Flush();
  if (y.Host) y.Host->ProcessMessages();
}

// 窓キャプチャー (?へ,?を) 132 -- a window's client area (or the desktop) at (0,0).
void CmdCapture(TYumeBase& y, TArgs& a) {
  const std::string title = a.Text(1);
  const int part = TargetOfSlot(y, a, 0);
  Draw(y).CaptureWindow(title == "デスクトップ" ? std::string() : Cp932ToUtf8(title), part);
  if (y.Host) y.Host->ProcessMessages();
}

// イメージ保存 (?へ,?を) 178 -- to a file by its extension, or to the clipboard.
void CmdSavePicture(TYumeBase& y, TArgs& a) {
  const int part = SurfaceOfSlot(y, a, 1);
  const std::string name = a.Text(0);
  if (name == kClipboardWord) {
    Draw(y).PictureToClipboard(part);
    return;
  }
  const std::string ext = LowerExt(name);
  if (ext != "bmp" && ext != "jpg" && ext != "jpeg" && ext != "png" && ext != "mag" && ext != "ico")
    RaiseError(y, "\"%s\"は、未対応の画像ファイルです。", {ExtractFileExt(name)});
  int quality = 100;
  if (ext == "jpg" || ext == "jpeg") {
    long double q = 0;
    if (!TryStrToNumber(SystemText(y, "JPEG圧縮率"), q) || q < 1 || q > 100)
      a.ArgumentError("JPEG圧縮率は1から100の間で指定してください。");
    quality = static_cast<int>(q);
  }
  if (!CheckFileAccess(y, name, "イメージを" + Quoted(name) + "へ保存します。")) return;
  const TDrawStatus st = Draw(y).SavePicture(part, SysPath(name), ext, quality);
  if (st != TDrawStatus::Ok)
    RaiseError(y, std::string(msg::kFileFailed) + "%s", {name, Utf8ToCp932(Draw(y).LastError())});
}

// イメージサイズ変更 (?を,?に) 515
void CmdResizePicture(TYumeBase& y, TArgs& a) {
  int w, h;
  a.Point(1, w, h);
  const int part = SurfaceOfSlot(y, a, 0);
  if (w <= 0 || h <= 0 || !Draw(y).ResizeSurface(part, w, h)) a.ArgumentError();
}

// The destination of a copy: "(x,y)" or "(left,top,right,bottom)".
std::vector<int> CopyRect(TArgs& a, size_t i) {
  std::vector<int> r = a.Coordinates(i);
  if (r.size() == 2) r.insert(r.end(), {0, 0});
  if (r.size() != 4) a.ArgumentError();
  return r;
}

// イメージコピー (?を,?の,?に) 140
void CmdCopyPicture(TYumeBase& y, TArgs& a) {
  const std::vector<int> r = CopyRect(a, 2);
  const int part = SurfaceOfSlot(y, a, 1);
  std::string name;
  const TPictureSource src = SourceOfSlot(y, a, 0, name);
  const TDrawStatus st = Draw(y).CopyPicture(src, part, r[0], r[1], r[2], r[3]);
  if (st != TDrawStatus::Ok) RaiseLoadError(y, name, st);
}

// イメージ部分コピー (?の,?を,?の,?に) 299
void CmdCopyPart(TYumeBase& y, TArgs& a) {
  const std::vector<int> dr = CopyRect(a, 3);
  const int dst = SurfaceOfSlot(y, a, 2);
  const std::vector<int> sr = a.Coordinates(1);
  if (sr.size() != 4) a.ArgumentError();
  const int src = SurfaceOfSlot(y, a, 0);
  if (Draw(y).CopyRect(src, sr.data(), dst, dr.data()) != TDrawStatus::Ok) a.ArgumentError();
}

// イメージ半透明コピー (?を,?の,?に,?パーセント) 257
void CmdBlendPicture(TYumeBase& y, TArgs& a) {
  const long double percent = a.Number(3);
  const std::vector<int> r = CopyRect(a, 2);
  const int part = SurfaceOfSlot(y, a, 1);
  std::string name;
  const TPictureSource src = SourceOfSlot(y, a, 0, name);
  const TDrawStatus st =
      Draw(y).BlendPicture(src, part, r[0], r[1], r[2], r[3], static_cast<double>(percent));
  if (st != TDrawStatus::Ok) RaiseLoadError(y, name, st);
}

// アイコン抽出 (?の,?を,?に) 425 -- the icon at an index of a program (its desktop entry's) or of
// a desktop entry file into an image part.
void CmdExtractIcon(TYumeBase& y, TArgs& a) {
  std::string written(TrimBlanks(a.Phrase(2)));
  if (written.size() >= 2 && written.front() == '`' && written.back() == '`')
    written = written.substr(1, written.size() - 2);
  THashNode* w = WordOfName(y, written);
  if (!w) RaiseError(y, msg::kWordUnknown, {written});
  if (w->Kind != wkPart || !y.Objs.Get(static_cast<size_t>(w->Tag)))
    RaiseError(y, "\"%s\"は、部品ではありません。", {written});
  if (y.Objs.Get(static_cast<size_t>(w->Tag))->Kind != kImageKind || !Draw(y).HasSurface(w->Tag))
    RaiseError(y, "\"%s\"は、部品ではありません。イメージを指定します。", {written});
  const long double index = std::trunc(a.Number(1));
  if (index < 0) a.RangeError();
  const std::string file = FindProgramFile(y, a.Text(0));
  const TDrawStatus st = Draw(y).ExtractIcon(
      SysPath(file), static_cast<int>(std::min<long double>(index, 1e6)), w->Tag);
  if (st != TDrawStatus::Ok) RaiseError(y, "\"%s\"が読込めません。", {a.Text(0)});
}

// イメージデータ設定 (?形式の,?を,?に) 583 -- BASE64 picture data of a format into an image part.
void CmdSetPictureData(TYumeBase& y, TArgs& a) {
  const THashNode* w = a.NamedWord(2);
  const int part = w && w->Kind == wkPart ? w->Tag : PartIndex(y, a.Text(2));
  const TObjNode* node = part >= 0 ? y.Objs.Get(static_cast<size_t>(part)) : nullptr;
  if (!node || node->Kind != kImageKind || !Draw(y).HasSurface(part))
    RaiseError(y, "イメージ部品が指定されていません。");
  TPictureSource src;
  src.Ext = DataFormatExt(a.Text(0));
  if (src.Ext.empty()) RaiseError(y, "未対応の画像形式です。");
  src.FromData = true;
  if (!Base64Decode(a.Text(1), src.Data)) RaiseError(y, "Base64のデコードに失敗しました。");
  const TDrawStatus st = Draw(y).LoadIntoSurface(src, part);
  if (st != TDrawStatus::Ok) RaiseLoadError(y, a.Text(0), st);
}

// フォント一覧を取得 483 -- the installed font families, sorted, each followed by CR LF.
void CmdFontList(TYumeBase& y, TArgs&) {
  std::string out;
  for (const std::string& f : Draw(y).FontFamilies()) out += Utf8ToCp932(f) + "\r\n";
  SetSoreText(y, std::move(out));
}

// 画像対応形式取得 531
void CmdPictureFormats(TYumeBase& y, TArgs&) {
  SetSoreText(y, SupportedPatterns(Draw(y).ExtraReadableFormats()));
}

constexpr CommandDef kCommands[] = {
    {"移動", "?へ", 1, CmdMove},
    {"表示", "?と", 0, CmdPrint},
    {"画面クリア", "?で", 4, CmdClear},
    {"センタリング", "", 29, CmdCenter},
    {"センタリング解除", "", 30, CmdUncenter},
    {"線", "?から,?へ", 14, CmdLine},
    {"四角形", "?から,?へ", 15, CmdRect},
    {"円形", "?から,?へ", 16, CmdEllipse},
    {"角丸四角形", "?から,?へ,?の", 505, CmdRoundRect},
    {"多角形", "?の", 507, CmdPolygon},
    {"画像表示", "?を", 18, CmdShowPicture},
    {"画像拡大表示", "?を,?で", 39, CmdShowPictureSized},
    {"点描画", "?の,?へ", 123, CmdSetPixel},
    {"線描画", "?の,?から,?へ", 258, CmdPartLine},
    {"四角形描画", "?の,?から,?へ", 259, CmdPartRect},
    {"角丸四角形描画", "?に,?から,?へ,?の", 506, CmdPartRoundRect},
    {"多角形描画", "?に,?の", 508, CmdPartPolygon},
    {"円形描画", "?の,?から,?へ", 260, CmdPartEllipse},
    {"文字描画", "?の,?へ,?と", 251, CmdSmoothText},
    {"文字表示", "?の,?へ,?と", 439, CmdPlainText},
    {"座標色取得", "?の,?を", 329, CmdGetPixel},
    {"タイル描画", "?へ,?を", 584, CmdTile},
    {"ペンスタイル設定", "?に", 503, CmdPenStyle},
    {"塗りスタイル設定", "?に", 504, CmdBrushStyle},
    {"描画処理反映", "", 117, CmdFlush},
    // The desktop or one of the program's own windows: other programs' windows cannot be read
    // on every desktop.
    {"窓キャプチャー", "?へ,?を", 132, CmdCapture, TBuilt::Partly},
    {"イメージ保存", "?へ,?を", 178, CmdSavePicture},
    {"イメージサイズ変更", "?を,?に", 515, CmdResizePicture},
    {"イメージコピー", "?を,?の,?に", 140, CmdCopyPicture},
    {"イメージ部分コピー", "?の,?を,?の,?に", 299, CmdCopyPart},
    {"イメージ半透明コピー", "?を,?の,?に,?パーセント", 257, CmdBlendPicture},
    // The icon of a desktop entry (index 0): programs on Linux carry no icons of their own.
    {"アイコン抽出", "?の,?を,?に", 425, CmdExtractIcon, TBuilt::Partly},
    {"イメージデータ設定", "?形式の,?を,?に", 583, CmdSetPictureData},
    {"フォント一覧を取得", "", 483, CmdFontList},
    {"画像対応形式取得", "", 531, CmdPictureFormats},
};

constexpr VariableDef kVariables[] = {
    {"表示出力先", "", "s", 16, false, false},
    {"文字色", "0", "s", 19, false, false},
    {"文字サイズ", "12", "e", 20, false, false},
    {"文字書体", "ＭＳ ゴシック", "s", 21, false, false},
    {"ペン色", "0", "s", 22, false, false},
    {"ペン太さ", "2", "e", 23, false, false},
    {"塗り色", "0", "e", 24, false, false},
    {"JPEG圧縮率", "100", "e", 25, false, false},
};

}  // namespace

const TFamily kDrawFamily{"描画と画像", kCommands, kVariables};

}  // namespace yume
