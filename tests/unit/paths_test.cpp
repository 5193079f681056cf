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

TEST(Paths, DrivePrefixesStandForTheRoot) {
  EXPECT_EQ(SysPath("C:\\tmp\\a.txt"), "/tmp/a.txt");
  EXPECT_EQ(SysPath("d:/tmp"), "/tmp");
  EXPECT_EQ(SysPath("C:"), "/");
  EXPECT_EQ(SysPath("C:\\"), "/");
  EXPECT_EQ(SysPath("C:x"), "C:x");  // no separator after the colon: an ordinary name
  EXPECT_TRUE(IsAbsolutePath("C:\\a"));
  EXPECT_TRUE(IsAbsolutePath("\\a"));
  EXPECT_TRUE(IsAbsolutePath("/a"));
  EXPECT_FALSE(IsAbsolutePath("a\\b"));
  EXPECT_FALSE(IsAbsolutePath("表\\b"));
}

TEST(Paths, NamesThatAreNoUtf8SurviveTheRoundTrip) {
  const std::string names[] = {
      "plain",
      "\xff\xfe-latin1-\xe9",               // bytes that are no UTF-8
      "\xf0\x9f\x98\x80 face",              // a character CP932 lacks
      "\xee\x82\x80 private \xee\x83\xbf",  // the characters the escapes use
      "\xe8\xa1\xa8 \xe3\x82\xbd",          // 表 ソ: ordinary CP932 text
      "cut\xe8\xa1",                        // a sequence cut short
  };
  for (const std::string& sys : names) {
    const std::string inside = FromSysPath(sys);
    EXPECT_EQ(SysPath(inside), sys) << inside;
    // What a script sees is well-formed CP932: every lead byte has its second byte.
    for (size_t i = 0; i < inside.size(); i += CharLen(inside, i))
      EXPECT_FALSE(IsLead(inside[i]) && i + 1 >= inside.size());
  }
  EXPECT_EQ(FromSysPath("\xe8\xa1\xa8"), "表");
}
