#include "core/partprops.h"

#include <array>
#include <string>

#include "core/hash.h"

namespace yume {

const char* const kPartPropertyNames[kPartPropertyCount] = {
    "X",
    "Y",
    "幅",
    "高さ",
    "テキスト",
    "アイテム",
    "値",
    "画像",
    "拡大機能",
    "最大値",
    "最小値",
    "タイトル",
    "向き",
    "ボタン機能",
    "可視",
    "イベント",
    "クリックした時",
    "ダブルクリックした時",
    "マウス押した時",
    "マウス離した時",
    "キー押した時",
    "キー離した時",
    "変更した時",
    "編集",
    "透過処理",
    "背景色",
    "サイズ",
    "名前",
    "スクロールバー",
    "フォント書体",
    "フォントサイズ",
    "フォント色",
    "ファイルドロップ",
    "リサイズ",
    "ショートカットキー",
    "IME",
    "繰り返し回数",
    "効果音",
    "マウス動かした時",
    "追加画像",
    "選択文字列",
    "ハンドル",
    "有効",
    "選択位置",
    "選択文字数",
    "URL",
    "右側",
    "下側",
    "ファイルドロップした時",
    "スタイル",
    "W",
    "H",
    "位置",
    "列",
    "行",
    "ソート",
    "種類",
    "レイアウト",
    "複数選択",
    "ポケット",
    "ポップアップ",
    "ヒント",
    "折り返し",
    "閉じた時",
    "開いた時",
};

namespace {

const std::array<std::string, kPartPropertyCount>& Folded() {
  static const std::array<std::string, kPartPropertyCount> folded = [] {
    std::array<std::string, kPartPropertyCount> f;
    for (int i = 0; i < kPartPropertyCount; ++i) f[i] = FoldName(kPartPropertyNames[i]);
    return f;
  }();
  return folded;
}

}  // namespace

void FoldPartProperties() {
  Folded();
}

int FindPartProperty(std::string_view name) {
  if (name.empty()) return -1;
  std::string key = FoldName(name);
  const auto& folded = Folded();
  for (int i = 0; i < kPartPropertyCount; ++i) {
    if (folded[i] == key) return i;
  }
  return -1;
}

}  // namespace yume
