#include "platform/paths.h"

#include <gtest/gtest.h>

#include "core/sjis.h"

using namespace yume;

TEST(Paths, BackslashesAreSeparatorsButNeverSecondBytes) {
  // "表" ends in the byte "\": it must survive as part of the name.
  EXPECT_EQ(SysPath("dir\\表\\x.ymr"), Cp932ToUtf8("dir/表/x.ymr"));
  EXPECT_EQ(ExtractFilePath("c\\ソ\\能.ymr"), "c/ソ/");
  EXPECT_EQ(ExtractFileName("c\\ソ\\能.ymr"), "能.ymr");
  EXPECT_EQ(ExtractFileName("表"), "表");
  EXPECT_EQ(ExtractFilePath("表"), "");
}

TEST(Paths, Extensions) {
  EXPECT_EQ(ExtractFileExt("a/b.c/d"), "");
  EXPECT_EQ(ExtractFileExt("a/b.YMR"), ".YMR");
  EXPECT_EQ(ChangeFileExt("/opt/yume", ".ymr"), "/opt/yume.ymr");
  EXPECT_EQ(ChangeFileExt("/opt/x.exe", ".ymr"), "/opt/x.ymr");
}

TEST(Paths, FilesAreReadThroughUtf8Names) {
  std::string dir = FromSysPath(::testing::TempDir());
  std::string name = dir + "表ソ.txt";
  {
    std::FILE* f = std::fopen(SysPath(name).c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("abc", f);
    std::fclose(f);
  }
  std::string text, err;
  EXPECT_TRUE(FileExists(name));
  ASSERT_TRUE(ReadWholeFile(name, text, &err));
  EXPECT_EQ(text, "abc");
  EXPECT_FALSE(ReadWholeFile(dir + "none.txt", text, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(ReadWholeFile(dir, text, &err));  // a folder is no file
  EXPECT_EQ(ExpandFileName("/a/b/../c"), "/a/c");
  EXPECT_EQ(TempFolder().back(), '/');
}
