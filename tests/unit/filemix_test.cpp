#include "commands/system/filemix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/system/packstore.h"
#include "commands/text/cipher.h"
#include "core/pack.h"
#include "core/yumebase.h"
#include "platform/paths.h"
#include "platform/tempdir.h"

using namespace yume;

namespace {

class FileMix : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = ::testing::TempDir() + "filemix-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Put(const std::string& name, const std::string& bytes) {
    EXPECT_TRUE(WriteWholeFile(dir_ + name, bytes));
    return dir_ + name;
  }
  std::string Get(const std::string& name) {
    std::string out;
    EXPECT_TRUE(ReadWholeFile(dir_ + name, out));
    return out;
  }
  // Opens an archive made of these bytes; the reason when it cannot be read.
  std::string OpenError(const std::string& bytes) {
    Put("x.mix", bytes);
    TFileMixReader r;
    std::string err;
    return r.Open(dir_ + "x.mix", err) ? "" : err;
  }

  std::string dir_;
};

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

// A one-entry archive as bytes, with the record's fields as given.
std::string Archive(const std::string& name, uint32_t offset, uint32_t size, std::string data) {
  std::string s = std::string("fMix") + '\1' + '\1' + '\0' + std::string(4, '\0');
  std::string record(kMixRecordSize, '\0');
  record.replace(0, name.size(), name);
  for (int i = 0; i < 4; ++i) {
    record[256 + i] = static_cast<char>(offset >> (8 * i));
    record[260 + i] = static_cast<char>(size >> (8 * i));
  }
  return s + record + data;
}

}  // namespace

TEST_F(FileMix, LayoutAndReadBack) {
  std::string bin;
  for (int i = 0; i < 256; ++i) bin += static_cast<char>(i);
  TFileMixWriter w;
  w.Add(Put("a.txt", "hello\r\n"), "a.txt", 0);
  w.Add(Put("b.bin", bin), "b.bin", 1);
  std::string file;
  ASSERT_EQ(w.SaveToFile(dir_ + "out.mix", file), TMixFault::None);
  const std::string mix = Get("out.mix");

  EXPECT_EQ(mix.substr(0, 5), std::string("fMix\1"));
  EXPECT_EQ(mix[5], 2);
  EXPECT_EQ(mix[6], 0);
  EXPECT_EQ(Le32(mix, 7), mix.size());
  const size_t first = kMixHeaderSize + 2 * kMixRecordSize;
  EXPECT_EQ(mix.substr(11, 6), std::string("A.TXT\0", 6));
  EXPECT_EQ(Le32(mix, 11 + 256), first);
  EXPECT_EQ(Le32(mix, 11 + 260), 7u);
  EXPECT_EQ(mix[11 + 264], 0);
  EXPECT_EQ(mix.substr(first, 7), "hello\r\n");
  const size_t second = 11 + kMixRecordSize;
  EXPECT_EQ(Le32(mix, second + 256), first + 7);
  EXPECT_EQ(mix[second + 264], 1);
  // Stored enciphered, with a fresh keystream per entry.
  TCipher c;
  c.Load(bin);
  c.ApplyKey(kCipherPackKey);
  EXPECT_EQ(mix.substr(first + 7), c.Bytes());

  TFileMixReader r;
  std::string err, out;
  ASSERT_TRUE(r.Open(dir_ + "out.mix", err)) << err;
  ASSERT_TRUE(r.GetStream("A.TXT", out));
  EXPECT_EQ(out, "hello\r\n");
  ASSERT_TRUE(r.GetStream("b.bin", out));
  EXPECT_EQ(out, bin);
  EXPECT_FALSE(r.GetStream("c.txt", out));
}

TEST_F(FileMix, HeaderOfOneEntry) {
  TFileMixWriter w;
  w.Add(Put("d", std::string(6995, 'x')), "d", 0);
  std::string file;
  ASSERT_EQ(w.SaveToFile(dir_ + "one.mix", file), TMixFault::None);
  EXPECT_EQ(Get("one.mix").substr(0, 11),
            std::string("\x66\x4D\x69\x78\x01\x01\x00\x67\x1C\x00\x00", 11));
  EXPECT_EQ(Get("one.mix").size(), 7271u);
}

TEST_F(FileMix, NamesUpperCasedAndCutOnCharacters) {
  // 表 and ソ end in 0x5C; upper-casing must leave them whole, full-width letters included.
  EXPECT_EQ(MixStoredName("表ソ\\ａb.txt"),
            "表ソ\\Ａ"
            "B.TXT");
  EXPECT_EQ(MixStoredName(std::string(300, 'a')), std::string(255, 'A'));
  // 254 bytes then a two-byte character: the character does not fit and is dropped whole.
  EXPECT_EQ(MixStoredName(std::string(254, 'a') + "表"), std::string(254, 'A'));
  EXPECT_EQ(MixStoredName(std::string(253, 'a') + "表"), std::string(253, 'A') + "表");

  TFileMixWriter w;
  w.Add(Put("t", "1"), "能力\\データ.txt", 0);
  w.Add(Put("u", "2"), "dup", 0);
  w.Add(Put("v", "3"), "DUP", 0);
  std::string file, err, out;
  ASSERT_EQ(w.SaveToFile(dir_ + "n.mix", file), TMixFault::None);
  TFileMixReader r;
  ASSERT_TRUE(r.Open(dir_ + "n.mix", err));
  ASSERT_TRUE(r.GetStream("能力/データ.TXT", out));  // either separator
  EXPECT_EQ(out, "1");
  ASSERT_TRUE(r.GetStream("dup", out));  // the later of two equal names
  EXPECT_EQ(out, "3");
  EXPECT_EQ(r.Entries().size(), 3u);
}

TEST_F(FileMix, ReaderChecksEveryFieldAgainstTheLength) {
  EXPECT_NE(OpenError("MZ\0\0").find("TFileMixHeader"), std::string::npos);
  EXPECT_NE(OpenError("").find("TFileMixHeader"), std::string::npos);
  EXPECT_NE(OpenError("fMix\1\1").find("壊れて"), std::string::npos);
  // Two records announced, one present.
  std::string a = Archive("A", 276, 1, "z");
  a[5] = 2;
  EXPECT_NE(OpenError(a).find("壊れて"), std::string::npos);
  // Data past the end, also through a 32-bit wrap of offset + size.
  EXPECT_NE(OpenError(Archive("A", 276, 2, "z")).find("\"A\""), std::string::npos);
  EXPECT_NE(OpenError(Archive("A", 0xFFFFFFFFu, 2, "z")).find("壊れて"), std::string::npos);
  EXPECT_EQ(OpenError(Archive("A", 276, 1, "z")), "");

  // A name filling its whole field ends there.
  Put("x.mix", Archive(std::string(256, 'N'), 276, 1, "z"));
  TFileMixReader r;
  std::string err, out;
  ASSERT_TRUE(r.Open(dir_ + "x.mix", err)) << err;
  EXPECT_EQ(r.Entries()[0].Name, std::string(256, 'N'));
}

TEST_F(FileMix, FailedWritesLeaveNothingBehind) {
  Put("keep.mix", "old");
  TFileMixWriter w;
  w.Add(Put("a", "1"), "a", 0);
  w.Add(dir_ + "missing", "m", 0);
  std::string file;
  EXPECT_EQ(w.SaveToFile(dir_ + "keep.mix", file), TMixFault::InputMissing);
  EXPECT_EQ(file, dir_ + "missing");
  EXPECT_EQ(Get("keep.mix"), "old");
  EXPECT_EQ(w.SaveToFile(dir_ + "new.mix", file), TMixFault::InputMissing);
  EXPECT_FALSE(FileExists(dir_ + "new.mix"));

  TFileMixWriter flags;
  flags.Lines.push_back(dir_ + "a=a=256");
  EXPECT_EQ(flags.SaveToFile(dir_ + "f.mix", file), TMixFault::Range);
  flags.Lines = {dir_ + "a=a=x"};  // no number: stored plain
  EXPECT_EQ(flags.SaveToFile(dir_ + "f.mix", file), TMixFault::None);

  TFileMixWriter ok;
  ok.Add(dir_ + "a", "a", 0);
  EXPECT_EQ(ok.SaveToFile(dir_ + "no/such/folder.mix", file), TMixFault::Write);
  EXPECT_EQ(file, dir_ + "no/such/folder.mix");
  // Only the named files are in the folder: no temporary part left.
  int count = 0;
  for (auto& e : std::filesystem::directory_iterator(dir_)) count += e.is_regular_file();
  EXPECT_EQ(count, 3);  // keep.mix, a and f.mix
}

TEST_F(FileMix, ExecutableWithArchiveBehindItsImage) {
  const std::string self = ExecutableFile();
  uint64_t end = 0, base = 0;
  ASSERT_TRUE(ExecutableImageEnd(self, end));
  EXPECT_EQ(end, std::filesystem::file_size(self));
  EXPECT_FALSE(FindAppendedArchive(self, base));
  EXPECT_FALSE(ExecutableImageEnd(Put("script", "not an image"), end));

  TFileMixWriter w;
  w.Add(Put("s.ymr", "script"), "yumemori.ymr", 1);
  std::string file, err, out;
  const mode_t mask = ::umask(022);
  ASSERT_EQ(BuildExecutable(dir_ + "prog", self, w, file), TMixFault::None);
  struct stat st {};
  ASSERT_EQ(::stat((dir_ + "prog").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  ::umask(077);
  // A runtime that carries an archive already gives only its image to the next program.
  ASSERT_EQ(BuildExecutable(dir_ + "prog2", dir_ + "prog", w, file), TMixFault::None);
  ASSERT_EQ(::stat((dir_ + "prog2").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::umask(mask);
  EXPECT_EQ(std::filesystem::file_size(dir_ + "prog"), std::filesystem::file_size(dir_ + "prog2"));

  ASSERT_TRUE(FindAppendedArchive(dir_ + "prog2", base));
  EXPECT_EQ(base, end);
  TFileMixReader r;
  ASSERT_TRUE(r.Open(dir_ + "prog2", err, base)) << err;
  ASSERT_TRUE(r.GetStream("YUMEMORI.YMR", out));
  EXPECT_EQ(out, "script");

  EXPECT_EQ(BuildExecutable(dir_ + "bad", dir_ + "s.ymr", w, file), TMixFault::InputMissing);
  EXPECT_EQ(file, dir_ + "s.ymr");
  EXPECT_FALSE(FileExists(dir_ + "bad"));
}

TEST_F(FileMix, PackedEntriesExtractIntoFilesOfTheirOwn) {
  TFileMixWriter w;
  w.Add(Put("ax", "A"), "A/X.TXT", 1);
  w.Add(Put("bx", "B"), "B\\X.TXT", 1);
  w.Add(Put("e", "E"), "../../ESCAPE.TXT", 0);
  w.Add(Put("c", "C"), "C:..\\..\\COLON.TXT", 0);
  std::string file;
  ASSERT_EQ(w.SaveToFile(dir_ + "p.mix", file), TMixFault::None);
  const std::string temp = FromSysPath(PrivateTempFolder()) + "/";
  std::vector<std::string> made;
  {
    TYumeBase y;
    EXPECT_EQ(ExtractPackedFile(y, "A/X.TXT"), "");  // no pack
    y.Pack = OpenPackFile(dir_ + "p.mix");
    const std::string a = ExtractPackedFile(y, "a\\x.txt");
    const std::string b = ExtractPackedFile(y, "B/X.TXT");
    ASSERT_NE(a, b);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(a, text));
    EXPECT_EQ(text, "A");
    ASSERT_TRUE(ReadWholeFile(b, text));
    EXPECT_EQ(text, "B");
    // Once only: the second read gets the same file.
    EXPECT_EQ(ExtractPackedFile(y, "A/X.TXT"), a);
    for (const char* name : {"../../ESCAPE.TXT", "C:..\\..\\COLON.TXT"}) {
      const std::string p = ExtractPackedFile(y, name);
      EXPECT_EQ(ExtractFilePath(p), temp) << name;
      made.push_back(p);
    }
    made.push_back(a);
    made.push_back(b);
    EXPECT_EQ(y.ExtractedFiles.size(), 4u);
    EXPECT_EQ(ExtractPackedFile(y, "none.txt"), "");
    EXPECT_EQ(FindReadFile(y, dir_ + "ax"), dir_ + "ax");  // not packed: from the disk
  }
  for (const std::string& p : made) EXPECT_FALSE(FileExists(p)) << p;
}
