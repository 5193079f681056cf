// The text work of the drawing commands: the lines 表示 prints, style names, picture formats.
#include "commands/ui/drawtext.h"

#include <gtest/gtest.h>

using namespace yume;

TEST(DrawText, PrintLinesExpandTabsAndSplitLines) {
  EXPECT_EQ(PrintLinesOf("a\tb\r\n二行目\n三", 4),
            (std::vector<std::string>{"a   b", "二行目", "三"}));
  EXPECT_EQ(PrintLinesOf("", 8), std::vector<std::string>{""});
  EXPECT_EQ(PrintLinesOf("end\r\n", 8), std::vector<std::string>{"end"});
}

TEST(DrawText, LongTextIsCutWithoutSplittingACharacter) {
  // 4095 bytes, then 表 (95 5C) across the limit: it is left out whole, and its second byte
  // (a backslash) never appears alone.
  const std::string text = std::string(4095, 'x') + "表表\tz";
  const std::vector<std::string> lines = PrintLinesOf(text, 8);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], std::string(4095, 'x'));
  // An even cut keeps the character, and tabs of a long text are not expanded.
  const std::string even = std::string(4094, 'x') + "表\t表";
  EXPECT_EQ(PrintLinesOf(even, 8)[0], std::string(4094, 'x') + "表");
  EXPECT_EQ(PrintLinesOf(std::string(4090, 'x') + "\t" + std::string(10, 'y'), 8)[0],
            std::string(4090, 'x') + "\t" + std::string(5, 'y'));
}

TEST(DrawText, StyleNamesAndUnknownNames) {
  EXPECT_EQ(PenStyleOf("実線"), 0);
  EXPECT_EQ(PenStyleOf("点々破線"), 4);
  EXPECT_EQ(PenStyleOf("透明"), 5);
  EXPECT_EQ(PenStyleOf("波線"), 0);
  EXPECT_EQ(BrushStyleOf("透明"), 1);
  EXPECT_EQ(BrushStyleOf("斜め十字線"), 7);
  EXPECT_EQ(BrushStyleOf(""), 0);
}

TEST(DrawText, FormatsAndPatterns) {
  EXPECT_EQ(LowerExt("a\\表.PNG"), "png");
  EXPECT_EQ(LowerExt("noext"), "");
  EXPECT_EQ(SupportedPatterns({}), "*.BMP;*.ICO;*.JPG;*.JPEG;*.PNG;*.MAG");
  EXPECT_EQ(SupportedPatterns({"gif", "ppm"}), "*.BMP;*.ICO;*.JPG;*.JPEG;*.PNG;*.MAG;*.GIF;*.PPM");
  EXPECT_EQ(DataFormatExt("jpeg"), "jpg");
  EXPECT_EQ(DataFormatExt("ICON"), "ico");
  EXPECT_EQ(DataFormatExt("GIF"), "");
}
