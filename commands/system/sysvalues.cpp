// The constants whose values are taken when a run starts: desktop colours and size, the
// command line, the program's folders, the well-known folders and the system's name.
#include <iterator>
#include <string>

#include "commands/families.h"
#include "core/app.h"
#include "core/yumebase.h"
#include "platform/paths.h"
#include "platform/sysfolders.h"

namespace yume {

namespace {

// The core cannot ask a desktop for its theme, so the colours are the classic desktop
// palette (light grey bars and menus, blue desktop, navy captions), as decimal numbers with
// red in the low byte, like every colour a script gets as a number.
constexpr long Rgb(int r, int g, int b) {
  return r | (g << 8) | (static_cast<long>(b) << 16);
}
constexpr long kScrollBarColor = Rgb(212, 208, 200);
constexpr long kDesktopColor = Rgb(58, 110, 165);
constexpr long kActiveCaptionColor = Rgb(10, 36, 106);
constexpr long kInactiveCaptionColor = Rgb(128, 128, 128);
constexpr long kMenuColor = Rgb(212, 208, 200);
constexpr long kWindowColor = Rgb(255, 255, 255);
constexpr long kHighlightColor = Rgb(10, 36, 106);

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// The parameters from the one that names the program on: the runtime itself when the
// program came from a pack or the default start file, the file after -runtime, else the
// first parameter.
std::string CommandLineArgs(const TYumeBase& y) {
  size_t first = 1;
  if (y.RuntimeGiven) {
    first = 2;
  } else if (y.FromPack || y.DefaultStart) {
    first = 0;
  }
  std::string out;
  for (size_t i = first; i < y.Params.size(); ++i) {
    if (i > first) out += "\r\n";
    out += y.Params[i];
  }
  return out;
}

std::string RuntimeFolder(const TYumeBase& y) {
  return WithSlash(y.Params.empty() ? std::string() : ExtractFilePath(y.Params[0]));
}

using TValueFn = std::string (*)(const TYumeBase&);

template <long Color>
std::string ColorText(const TYumeBase&) {
  return std::to_string(Color);
}

template <int Id>
std::string Folder(const TYumeBase&) {
  return SpecialFolder(Id);
}

constexpr VariableDef kComputed[] = {
    {"ウィンドウ色", nullptr, "s", 108, false, true},
    {"ウインドウ色", nullptr, "s", 109, false, true},
    {"デスクトップ色", nullptr, "s", 110, false, true},
    {"背景色", nullptr, "s", 111, false, true},
    {"アクティブ色", nullptr, "s", 112, false, true},
    {"非アクティブ色", nullptr, "s", 113, false, true},
    {"選択色", nullptr, "s", 131, false, true},
    {"スクロールバー色", nullptr, "s", 132, false, true},
    {"ウィンドウ背景色", nullptr, "s", 133, false, true},
    {"デスクトップの幅", nullptr, "e", 134, false, true},
    {"デスクトップの高さ", nullptr, "e", 135, false, true},
    {"コマンドライン引数", nullptr, "s", 136, true, true},
    {"ゆめもりバージョン", nullptr, "s", 137, false, true},
    {"ゆめもり最終更新日", nullptr, "s", 138, false, true},
    {"OS", nullptr, "s", 139, true, true},
    {"母艦のパス", nullptr, "s", 114, true, true},
    {"ランタイムのパス", nullptr, "s", 115, true, true},
    {"デスクトップのパス", nullptr, "s", 116, true, true},
    {"デスクトップ", nullptr, "s", 117, true, true},
    {"マイドキュメントのパス", nullptr, "s", 118, true, true},
    {"マイドキュメント", nullptr, "s", 119, true, true},
    {"スタートメニューのパス", nullptr, "s", 120, true, true},
    {"スタートアップのパス", nullptr, "s", 121, true, true},
    {"SENDTOのパス", nullptr, "s", 122, true, true},
    {"WINDOWSのパス", nullptr, "s", 123, true, true},
    {"SYSTEMのパス", nullptr, "s", 124, true, true},
    {"TEMPのパス", nullptr, "s", 125, true, true},
    {"お気に入りのパス", nullptr, "s", 126, true, true},
    {"最近使ったファイルのパス", nullptr, "s", 127, true, true},
    {"フォントパス", nullptr, "s", 128, true, true},
    {"マイミュージックのパス", nullptr, "s", 129, true, true},
    {"マイピクチャーのパス", nullptr, "s", 130, true, true},
};

// The values, in the order of kComputed.
const TValueFn kComputedValues[] = {
    ColorText<kMenuColor>,
    ColorText<kMenuColor>,
    ColorText<kDesktopColor>,
    ColorText<kDesktopColor>,
    ColorText<kActiveCaptionColor>,
    ColorText<kInactiveCaptionColor>,
    ColorText<kHighlightColor>,
    ColorText<kScrollBarColor>,
    ColorText<kWindowColor>,
    [](const TYumeBase& y) { return std::to_string(y.DesktopWidth); },
    [](const TYumeBase& y) { return std::to_string(y.DesktopHeight); },
    CommandLineArgs,
    [](const TYumeBase&) { return std::string(kLanguageVersion); },
    [](const TYumeBase&) { return std::string("2004/02/04"); },
    [](const TYumeBase&) { return OsName(); },
    [](const TYumeBase& y) { return WithSlash(y.ProgramFolder); },
    RuntimeFolder,
    Folder<sfDesktopFolder>,
    Folder<sfDesktopFolder>,
    Folder<sfDocuments>,
    Folder<sfDocuments>,
    Folder<sfStartMenu>,
    Folder<sfStartup>,
    Folder<sfSendTo>,
    [](const TYumeBase&) { return WindowsFolder(); },
    [](const TYumeBase&) { return SystemFolder(); },
    [](const TYumeBase&) { return TempFolder(); },
    Folder<sfFavorites>,
    Folder<sfRecent>,
    Folder<sfFonts>,
    Folder<sfMusic>,
    Folder<sfPictures>,
};
static_assert(std::size(kComputed) == std::size(kComputedValues));

}  // namespace

const TFamily kComputedFamily{"実行時の定数", {}, kComputed};

void RegisterComputedConstants(TYumeBase& y) {
  for (size_t i = 0; i < std::size(kComputed); ++i) {
    VariableDef def = kComputed[i];
    std::string value = kComputedValues[i](y);
    def.Value = value.c_str();
    RegisterVariable(y, def);
  }
}

}  // namespace yume
