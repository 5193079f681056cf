#include "commands/system/filestream.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/sjis.h"

using namespace yume;

namespace {

using Lines = std::vector<std::string>;
constexpr size_t kBuf = TTextFileStream::kBufferSize;
constexpr int kRW = TTextFileStream::kReadWrite;

class FileStream : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = ::testing::TempDir() + "filestream-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Put(const std::string& bytes, const std::string& name = "f.txt") {
    std::ofstream(dir_ + name, std::ios::binary) << bytes;
    return dir_ + name;
  }
  std::string Get(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  // Every line of a file holding bytes, read until the stream says it is at the end.
  Lines Read(const std::string& bytes) {
    TTextFileStream s;
    EXPECT_TRUE(s.Open(Put(bytes), kRW));
    Lines out;
    while (!s.AtEnd()) out.push_back(s.ReadLine());
    EXPECT_EQ(s.ReadLine(), "");  // past the end: empty, and still at the end
    EXPECT_TRUE(s.AtEnd());
    return out;
  }

  std::string dir_;
};

TEST_F(FileStream, LinesAndTheEnd) {
  EXPECT_EQ(Read("a\r\nb\nc\rd\r\n\r\ne"), (Lines{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(Read("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(Read(""), (Lines{}));
  EXPECT_EQ(Read(std::string("a\0b\n\0\0c", 8)), (Lines{"a", "b", "", "", "c"}));  // NUL ends one
  TTextFileStream s;
  ASSERT_TRUE(s.Open(Put("a\r\nb"), kRW));
  EXPECT_FALSE(s.AtEnd());
  EXPECT_EQ(s.ReadLine(), "a");
  EXPECT_FALSE(s.AtEnd());
  EXPECT_EQ(s.ReadLine(), "b");
  EXPECT_TRUE(s.AtEnd());
}

TEST_F(FileStream, BreaksAndCharactersSplitByTheReadAhead) {
  const std::string x(kBuf - 1, 'x');
  EXPECT_EQ(Read(x + "\r\nnext"), (Lines{x, "next"}));  // CR ends a fill, its LF starts the next
  EXPECT_EQ(Read(x + "\ry\r"), (Lines{x, "y"}));
  EXPECT_EQ(Read(x + "x\nz"), (Lines{x + "x", "z"}));
  // The trail byte of 亜 (0x88 0x9F) is itself a lead byte: read apart, it would swallow the LF.
  const std::string a = "亜";
  ASSERT_TRUE(IsLead(a[1]));
  EXPECT_EQ(Read(x + a + "\nb\n" + a + "\n"), (Lines{x + a, "b", a}));
  EXPECT_EQ(Read("ab\x88"), (Lines{"ab\x88"}));  // a lead byte ending the file stays alone
  EXPECT_EQ(Read("表\\ソ\r\n"), (Lines{"表\\ソ"}));
}

TEST_F(FileStream, WriteLineGoesWhereTheNextLineStarts) {
  const std::string p = Put("one\r\ntwo\r\nend\r\n");
  TTextFileStream s;
  ASSERT_TRUE(s.Open(p, kRW));
  ASSERT_TRUE(s.WriteLine("ONE"));  // a fresh handle writes at the start
  ASSERT_TRUE(s.WriteLine("TWO"));  // over the next line, nothing cut after it
  EXPECT_EQ(Get(p), "ONE\r\nTWO\r\nend\r\n");
  EXPECT_EQ(s.ReadLine(), "end");
  ASSERT_TRUE(s.WriteLine("more"));  // after every line: appended
  EXPECT_EQ(Get(p), "ONE\r\nTWO\r\nend\r\nmore\r\n");
  EXPECT_TRUE(s.AtEnd());

  // After a read-ahead of many lines, the line written is the one after the line read.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line" + std::to_string(i) + "\r\n";
  TTextFileStream t;
  ASSERT_TRUE(t.Open(Put(text), kRW));
  EXPECT_EQ(t.ReadLine(), "line0");
  EXPECT_EQ(t.FilePosition(), static_cast<int64_t>(kBuf));
  ASSERT_TRUE(t.WriteLine("LINE1"));
  EXPECT_EQ(t.ReadLine(), "line2");
  EXPECT_EQ(Get(dir_ + "f.txt").substr(0, 21), "line0\r\nLINE1\r\nline2\r\n");
}

TEST_F(FileStream, BytesAtTheFilesOwnPosition) {
  const std::string p = Put("");
  TTextFileStream s;
  ASSERT_TRUE(s.Open(p, kRW));
  ASSERT_TRUE(s.WriteBytes("ab", 4));   // padded with NUL
  ASSERT_TRUE(s.WriteBytes("xyz", 2));  // cut
  ASSERT_TRUE(s.WriteBytes("never", 0));
  EXPECT_EQ(Get(p), std::string("ab\0\0xy", 6));
  ASSERT_TRUE(s.WriteBytes("q", 3 * kBuf));
  EXPECT_EQ(Get(p).size(), 6 + 3 * kBuf);

  std::string got;
  ASSERT_TRUE(s.Open(Put("abcdef\r\nxyz"), kRW));
  EXPECT_EQ(s.ReadLine(), "abcdef");
  ASSERT_TRUE(s.ReadBytes(3, got));  // the read-ahead took the whole file
  EXPECT_EQ(got, "");
  ASSERT_TRUE(s.SeekFromStart(2));
  ASSERT_TRUE(s.ReadBytes(2, got));
  EXPECT_EQ(got, "cd");
  EXPECT_EQ(s.ReadLine(), "ef");  // lines go on from the file's own position
  ASSERT_TRUE(s.SeekFromStart(8));
  ASSERT_TRUE(s.ReadBytes(1000000000, got));  // far beyond the end: what there is
  EXPECT_EQ(got, "xyz");
  ASSERT_TRUE(s.WriteBytes("!", 1));
  EXPECT_EQ(Get(dir_ + "f.txt"), "abcdef\r\nxyz!");
}

TEST_F(FileStream, Moves) {
  const std::string p = Put("first\r\nsecond\r\n");
  TTextFileStream s;
  ASSERT_TRUE(s.Open(p, kRW));
  ASSERT_TRUE(s.SeekFromEnd(0));
  EXPECT_TRUE(s.AtEnd());
  ASSERT_TRUE(s.SeekFromStart(0));
  EXPECT_FALSE(s.AtEnd());
  ASSERT_TRUE(s.SeekFromStart(9));
  EXPECT_EQ(s.ReadLine(), "cond");
  EXPECT_FALSE(s.SeekFromStart(-1));  // before the start: nothing moves
  EXPECT_TRUE(s.AtEnd());
  ASSERT_TRUE(s.SeekFromStart(100));  // beyond the end: at the end
  EXPECT_TRUE(s.AtEnd());
  ASSERT_TRUE(s.SeekFromEnd(0));
  ASSERT_TRUE(s.WriteLine("third"));
  EXPECT_EQ(Get(p), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(FileStream, OpenModesAndSharing) {
  int error = 0;
  TTextFileStream s;
  EXPECT_FALSE(s.Open(dir_ + "none.txt", kRW, &error));
  EXPECT_EQ(error, ENOENT);
  ASSERT_TRUE(s.Open(dir_ + "made.txt", kRW, &error, true));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "made.txt"));
  const std::string p = Put("keep\r\n");
  ASSERT_TRUE(s.Open(p, TTextFileStream::kRead));
  EXPECT_FALSE(s.WriteLine("no", &error));
  ASSERT_TRUE(s.Open(p, TTextFileStream::kWrite));
  ASSERT_TRUE(s.WriteLine("KE"));
  EXPECT_EQ(Get(p), "KE\r\n\r\n");
  ASSERT_TRUE(s.Open(p, TTextFileStream::kCreate));  // empties
  EXPECT_EQ(Get(p), "");
  for (int bad : {3, 15, 80, kRW + 128, -1}) {
    EXPECT_FALSE(s.Open(p, bad, &error)) << bad;
    EXPECT_EQ(error, EINVAL);
  }
  EXPECT_FALSE(s.Open(dir_, TTextFileStream::kRead, &error));  // a folder is no file

  TTextFileStream a, b, c;
  ASSERT_TRUE(a.Open(p, kRW + TTextFileStream::kShareExclusive));
  EXPECT_FALSE(b.Open(p, kRW + TTextFileStream::kShareExclusive, &error));
  EXPECT_EQ(error, EWOULDBLOCK);
  EXPECT_FALSE(b.Open(p, TTextFileStream::kRead + TTextFileStream::kShareDenyWrite));
  EXPECT_TRUE(c.Open(p, kRW + TTextFileStream::kShareDenyNone));  // asks for nothing
  a.Close();
  ASSERT_TRUE(a.Open(p, TTextFileStream::kRead + TTextFileStream::kShareDenyWrite));
  EXPECT_TRUE(b.Open(p, TTextFileStream::kRead + TTextFileStream::kShareDenyWrite));
  EXPECT_FALSE(c.Open(p, kRW + TTextFileStream::kShareDenyRead));
}

}  // namespace
