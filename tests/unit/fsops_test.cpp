#include "platform/fsops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/sjis.h"
#include "platform/paths.h"
#include "platform/tempdir.h"

using namespace yume;

namespace {

// Every test works in a folder of its own; the trash is the folder's too.
class FsOps : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = ::testing::TempDir() + "fsops-XXXXXX";
    ASSERT_TRUE(::mkdtemp(templ.data()));
    sys_ = templ;
    dir_ = FromSysPath(sys_) + "/";
    ::setenv("XDG_DATA_HOME", (sys_ + "/data").c_str(), 1);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(sys_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(sys_, ec);
  }
  // A file with some content; its CP932 path.
  std::string Make(const std::string& name, const std::string& text = "x") {
    const std::string path = dir_ + name;
    std::filesystem::create_directories(std::filesystem::path(SysPath(path)).parent_path());
    std::ofstream(SysPath(path), std::ios::binary) << text;
    return path;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(SysPath(dir_ + name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool There(const std::string& name) {
    struct stat st;
    return ::lstat(SysPath(dir_ + name).c_str(), &st) == 0;
  }
  std::string Lines(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += n + ",";
    return out;
  }
  std::string sys_;  // system path of the folder
  std::string dir_;  // the same as CP932 with a final "/"
};

}  // namespace

TEST(FsOpsNames, MasksMatchCharactersWithoutCaseAndKeepDotNamesApart) {
  EXPECT_TRUE(MatchFileMask("Report.TXT", "*.txt"));
  EXPECT_TRUE(MatchFileMask("a1.txt", "a?.txt"));
  EXPECT_FALSE(MatchFileMask("a12.txt", "a?.txt"));
  // A two-byte character is one "?", and its second byte "\" (表, ソ, 能) or "a"-like byte
  // is never read alone.
  EXPECT_TRUE(MatchFileMask("表.txt", "?.txt"));
  EXPECT_TRUE(MatchFileMask("ソ能", "*能"));
  EXPECT_FALSE(MatchFileMask("ソ能", "*\\"));
  EXPECT_FALSE(MatchFileMask("ア", "ァ"));  // 83 41 and 83 40: no case between them
  // "*.*" is everything, a final ".*" also names the bare stem.
  EXPECT_TRUE(MatchFileMask("README", "*.*"));
  EXPECT_TRUE(MatchFileMask("a", "a.*"));
  EXPECT_FALSE(MatchFileMask("ab", "a.*"));
  // Names beginning with "." answer only to a pattern that begins with ".".
  EXPECT_FALSE(MatchFileMask(".profile", "*"));
  EXPECT_FALSE(MatchFileMask(".profile", "?profile"));
  EXPECT_TRUE(MatchFileMask(".profile", ".*"));
  EXPECT_TRUE(MatchFileMask(".Profile", ".pro*"));
  EXPECT_TRUE(HasWildcard("表\\*.txt"));
  EXPECT_FALSE(HasWildcard("表\\ソ.txt"));
}

TEST(FsOpsNames, OrderIgnoresCaseThenBytesAndNeverFoldsSecondBytes) {
  EXPECT_TRUE(FileNameLess("a", "B"));
  EXPECT_TRUE(FileNameLess("B", "b"));  // equal without case: the bytes decide
  EXPECT_TRUE(FileNameLess("Z", "["));  // "z" sorts as "Z", before "["
  EXPECT_TRUE(FileNameLess("z", "["));
  // ゼ is 83 5B, ヂ is 83 61: upper-casing the second byte "a" would put ヂ first.
  EXPECT_TRUE(FileNameLess("ゼ", "ヂ"));
  EXPECT_FALSE(FileNameLess("ヂ", "ゼ"));
}

TEST_F(FsOps, ListingsAreSortedAndLeaveDotEntriesOut) {
  Make("B.txt");
  Make("a.txt");
  Make("c.dat");
  Make(".hidden");
  Make("表/x");
  Make(".git/config");
  Make("sub/y");
  TGlob all(dir_);
  EXPECT_EQ(Lines(all.Files), "a.txt,B.txt,c.dat,");  // not "B" before "a"
  EXPECT_EQ(Lines(all.Folders), "sub,表,");
  EXPECT_EQ(all.Folder(), dir_);
  TGlob txt(dir_ + "*.TXT");
  EXPECT_EQ(Lines(txt.Files), "a.txt,B.txt,");
  EXPECT_TRUE(txt.Folders.empty());
  TGlob dots(dir_ + ".*");
  EXPECT_EQ(Lines(dots.Files), ".hidden,");
  EXPECT_TRUE(dots.Folders.empty());  // .git is a folder beginning with "."
  // A backslash after a name ending in "\" (表) is still a separator.
  TGlob inside(dir_ + "表\\*");
  EXPECT_EQ(Lines(inside.Files), "x,");
  EXPECT_TRUE(TGlob(dir_ + "none/*").Files.empty());
}

TEST_F(FsOps, TreeListingsGoDepthFirstAndStayOutOfDotFoldersAndLinks) {
  Make("r.txt");
  Make("b/q.txt");
  Make("b/c/p.txt");
  Make("a/s.txt");
  Make("a/skip.dat");
  Make(".cache/t.txt");
  std::filesystem::create_directory_symlink(sys_ + "/b", sys_ + "/link");
  std::string out;
  ListTree(dir_, "*.txt", false, out);
  EXPECT_EQ(out, dir_ + "r.txt\r\n" + dir_ + "a/s.txt\r\n" + dir_ + "b/q.txt\r\n" + dir_ +
                     "b/c/p.txt\r\n");
  out.clear();
  ListTree(dir_, "*", true, out);
  EXPECT_EQ(out, dir_ + "a/\r\n" + dir_ + "b/\r\n" + dir_ + "link/\r\n" + dir_ + "b/c/\r\n");
  // A folder written with "\" comes back with "/".
  out.clear();
  ListTree(dir_ + "b\\", "p.txt", false, out);
  EXPECT_EQ(out, dir_ + "b/c/p.txt\r\n");
}

TEST_F(FsOps, CopyFollowsTheShellsRulesForDestinations) {
  Make("src/1.txt", "one");
  Make("src/2.txt", "two");
  Make("src/3.dat", "three");
  // A pattern copies every match into a folder that is made for it.
  ASSERT_TRUE(ShellCopy(dir_ + "src/*.txt", dir_ + "new/deeper"));
  EXPECT_EQ(Read("new/deeper/1.txt"), "one");
  EXPECT_EQ(Read("new/deeper/2.txt"), "two");
  EXPECT_FALSE(There("new/deeper/3.dat"));
  // An existing folder, or a name ending in a separator, receives the file inside.
  ASSERT_TRUE(ShellCopy(dir_ + "src/3.dat", dir_ + "new"));
  EXPECT_EQ(Read("new/3.dat"), "three");
  ASSERT_TRUE(ShellCopy(dir_ + "src/3.dat", dir_ + "表\\"));
  EXPECT_EQ(Read("表/3.dat"), "three");
  // Otherwise the name is the copy's, and an existing file is replaced.
  Make("out/renamed.txt", "old content that is longer");
  ASSERT_TRUE(ShellCopy(dir_ + "src/1.txt", dir_ + "out/renamed.txt"));
  EXPECT_EQ(Read("out/renamed.txt"), "one");
  // The time of the last write comes along.
  struct stat a, b;
  const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ::utimensat(AT_FDCWD, SysPath(dir_ + "src/2.txt").c_str(), old, 0);
  ASSERT_TRUE(ShellCopy(dir_ + "src/2.txt", dir_ + "dated.txt"));
  ::stat(SysPath(dir_ + "src/2.txt").c_str(), &a);
  ::stat(SysPath(dir_ + "dated.txt").c_str(), &b);
  EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec);
}

TEST_F(FsOps, CopyTakesFoldersWholeAndRefusesWhatCannotBe) {
  Make("tree/a.txt", "a");
  Make("tree/.dot/b.txt", "b");
  Make("tree/sub/c.txt", "c");
  ASSERT_TRUE(ShellCopy(dir_ + "tree", dir_ + "copy"));
  EXPECT_EQ(Read("copy/a.txt"), "a");
  EXPECT_EQ(Read("copy/.dot/b.txt"), "b");  // a copy is a copy of everything
  EXPECT_EQ(Read("copy/sub/c.txt"), "c");
  ASSERT_TRUE(ShellCopy(dir_ + "tree", dir_ + "copy"));  // into the existing folder
  EXPECT_EQ(Read("copy/tree/sub/c.txt"), "c");
  EXPECT_FALSE(ShellCopy(dir_ + "tree", dir_ + "tree/sub"));  // a folder into itself
  EXPECT_FALSE(ShellCopy(dir_ + "tree/a.txt", dir_ + "tree/a.txt"));
  EXPECT_EQ(Read("tree/a.txt"), "a");  // not emptied on the way
  EXPECT_FALSE(ShellCopy(dir_ + "missing.txt", dir_ + "x.txt"));
  EXPECT_FALSE(ShellCopy(dir_ + "tree/*.none", dir_ + "x"));
}

TEST_F(FsOps, LargeFilesArriveWhole) {
  std::string big(5 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + (i >> 12));
  Make("big.bin", big);
  ASSERT_TRUE(ShellCopy(dir_ + "big.bin", dir_ + "big2.bin"));
  EXPECT_TRUE(Read("big2.bin") == big);
}

TEST_F(FsOps, MoveRenameAndErase) {
  Make("m/1.txt", "1");
  Make("m/2.txt", "2");
  Make("dest/2.txt", "old");
  ASSERT_TRUE(ShellMove(dir_ + "m/*.txt", dir_ + "dest"));
  EXPECT_EQ(Read("dest/1.txt"), "1");
  EXPECT_EQ(Read("dest/2.txt"), "2");
  EXPECT_FALSE(There("m/1.txt"));
  // A folder moved onto one of the same name joins its content.
  Make("f1/sub/a", "a");
  Make("f2/sub/b", "b");
  ASSERT_TRUE(ShellMove(dir_ + "f1/sub", dir_ + "f2"));
  EXPECT_EQ(Read("f2/sub/a"), "a");
  EXPECT_EQ(Read("f2/sub/b"), "b");
  EXPECT_FALSE(There("f1/sub"));
  // Renaming never replaces.
  EXPECT_FALSE(RenameFile(dir_ + "dest/1.txt", dir_ + "dest/2.txt"));
  EXPECT_EQ(Read("dest/2.txt"), "2");
  EXPECT_TRUE(RenameFile(dir_ + "dest/1.txt", dir_ + "dest/表.txt"));
  EXPECT_EQ(Read("dest/表.txt"), "1");
  EXPECT_FALSE(RenameFile(dir_ + "dest/none", dir_ + "dest/other"));
  // Erasing takes files and links, never folders.
  EXPECT_TRUE(EraseFile(dir_ + "dest/表.txt"));
  EXPECT_FALSE(There("dest/表.txt"));
  EXPECT_FALSE(EraseFile(dir_ + "dest"));
  EXPECT_TRUE(There("dest/2.txt"));
}

TEST_F(FsOps, TrashKeepsAnInfoFileAndUniqueNames) {
  Make("w/表 1%.txt", "first");
  ASSERT_TRUE(MoveToTrash(dir_ + "w/表 1%.txt"));
  EXPECT_FALSE(There("w/表 1%.txt"));
  const std::string trash = sys_ + "/data/Trash";
  EXPECT_EQ(HomeTrashFolder(), trash);
  const std::string name = SysPath("表 1%.txt");
  std::ifstream info(trash + "/info/" + name + ".trashinfo");
  std::string head, path, date;
  std::getline(info, head);
  std::getline(info, path);
  std::getline(info, date);
  EXPECT_EQ(head, "[Trash Info]");
  EXPECT_EQ(path, "Path=" + sys_ + "/w/%E8%A1%A8%201%25.txt");
  ASSERT_EQ(date.size(), 32u);  // DeletionDate=YYYY-MM-DDThh:mm:ss
  EXPECT_EQ(date.substr(0, 13), "DeletionDate=");
  EXPECT_EQ(date[17], '-');
  EXPECT_EQ(date[23], 'T');
  std::ifstream kept(trash + "/files/" + name);
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "first");
  // The same name again, and a pattern taking a folder along.
  Make("w/表 1%.txt", "second");
  Make("w/d/inner.txt");
  ASSERT_TRUE(MoveToTrash(dir_ + "w/*"));
  EXPECT_TRUE(std::filesystem::exists(trash + "/files/" + SysPath("表 1%.2.txt")));
  EXPECT_TRUE(std::filesystem::exists(trash + "/info/" + SysPath("表 1%.2.txt") + ".trashinfo"));
  EXPECT_TRUE(std::filesystem::exists(trash + "/files/d/inner.txt"));
  EXPECT_FALSE(There("w/d"));
  EXPECT_FALSE(MoveToTrash(dir_ + "w/none"));
}

TEST_F(FsOps, RemoveTreeKeepsDotFoldersAndDoesNotFollowLinks) {
  Make("t/a.txt");
  Make("t/.profile");
  Make("t/sub/b.txt");
  Make("t/sub/.git/HEAD");
  Make("t/other/c.txt");
  Make("outside/keep.txt");
  std::filesystem::create_directory_symlink(sys_ + "/outside", sys_ + "/t/other/link");
  RemoveTree(dir_ + "t");
  EXPECT_TRUE(There("t/sub/.git/HEAD"));  // the dot-folder keeps its folders
  EXPECT_FALSE(There("t/sub/b.txt"));
  EXPECT_FALSE(There("t/a.txt"));
  EXPECT_FALSE(There("t/.profile"));
  EXPECT_FALSE(There("t/other"));
  EXPECT_TRUE(There("outside/keep.txt"));
  // A pattern takes the matching files and folders only.
  Make("p/x.log");
  Make("p/y.txt");
  Make("p/z.log/inner");
  RemoveTree(dir_ + "p/*.LOG");
  EXPECT_FALSE(There("p/x.log"));
  EXPECT_FALSE(There("p/z.log"));
  EXPECT_TRUE(There("p/y.txt"));
  RemoveTree(dir_ + "p\\");
  EXPECT_FALSE(There("p"));
}

TEST_F(FsOps, NamesThatAreNoUtf8AreListedAndDeleted) {
  const std::string raw = sys_ + "/bad\xff\xfe.txt";
  std::ofstream(raw) << "x";
  TGlob glob(dir_ + "*.txt");
  ASSERT_EQ(glob.Files.size(), 1u);
  const std::string listed = glob.Folder() + glob.Files[0];
  EXPECT_EQ(SysPath(listed), raw);
  std::string out;
  ListTree(dir_, "bad*", false, out);
  EXPECT_EQ(out, listed + "\r\n");
  EXPECT_TRUE(EraseFile(listed));
  EXPECT_FALSE(std::filesystem::exists(raw));
}

TEST_F(FsOps, AttributesFollowTheModeAndTheName) {
  const std::string f = Make("plain.txt");
  uint32_t attrs = 0;
  ASSERT_TRUE(ReadAttributes(f, attrs));
  EXPECT_EQ(attrs, uint32_t{kAttrArchive});
  ASSERT_TRUE(WriteAttributes(f, kAttrReadOnly | kAttrArchive));
  ASSERT_TRUE(ReadAttributes(f, attrs));
  EXPECT_EQ(attrs, uint32_t{kAttrReadOnly | kAttrArchive});
  struct stat st;
  ::stat(SysPath(f).c_str(), &st);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  ASSERT_TRUE(WriteAttributes(f, kAttrArchive));
  ::stat(SysPath(f).c_str(), &st);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  ASSERT_TRUE(ReadAttributes(Make(".rc"), attrs));
  EXPECT_EQ(attrs, uint32_t{kAttrHidden | kAttrArchive});
  ASSERT_TRUE(ReadAttributes(dir_, attrs));
  EXPECT_EQ(attrs, uint32_t{kAttrFolder});
  EXPECT_FALSE(ReadAttributes(dir_ + "none", attrs));
}

TEST_F(FsOps, SizesTimesAndFolders) {
  Make("s/b.txt", "12345");
  Make("s/a.txt", "12");
  TFileInfo info;
  ASSERT_TRUE(FindFileInfo(dir_ + "s/b.txt", info));
  EXPECT_EQ(info.Size, 5);
  EXPECT_FALSE(info.Folder);
  ASSERT_TRUE(FindFileInfo(dir_ + "s/*.txt", info));  // the first in listing order
  EXPECT_EQ(info.Size, 2);
  ASSERT_TRUE(FindFileInfo(dir_ + "s", info));
  EXPECT_TRUE(info.Folder);
  EXPECT_EQ(info.Size, 0);
  EXPECT_FALSE(FindFileInfo(dir_ + "s/*.dat", info));
  EXPECT_FALSE(FindFileInfo(dir_ + "none", info));
  const std::string t = FormatFileTime(std::time(nullptr));
  ASSERT_EQ(t.size(), 19u);
  EXPECT_EQ(t[4], '/');
  EXPECT_EQ(t[13], ':');
}

TEST_F(FsOps, FoldersWithShortNamesAreMade) {
  char old[4096];
  ASSERT_TRUE(::getcwd(old, sizeof old));
  ASSERT_EQ(::chdir(sys_.c_str()), 0);
  EXPECT_TRUE(MakeFolders("ab"));
  EXPECT_TRUE(MakeFolders("表"));
  EXPECT_TRUE(MakeFolders("x\\y\\能\\"));
  EXPECT_TRUE(MakeFolders("C:\\"));  // the root exists
  ASSERT_EQ(::chdir(old), 0);
  EXPECT_TRUE(std::filesystem::is_directory(sys_ + "/ab"));
  EXPECT_TRUE(std::filesystem::is_directory(SysPath(dir_ + "表")));
  EXPECT_TRUE(std::filesystem::is_directory(SysPath(dir_ + "x/y/能")));
  Make("file");
  EXPECT_FALSE(MakeFolders(dir_ + "file/sub"));
}

TEST_F(FsOps, LongNamesSpellPartsAsOnDisk) {
  Make("Mixed/表Case.TXT");
  EXPECT_EQ(LongFileName(dir_ + "mixed\\表case.txt"), dir_ + "Mixed/表Case.TXT");
  EXPECT_EQ(LongFileName(dir_ + "Mixed/none.txt"), dir_ + "Mixed/none.txt");
}

TEST_F(FsOps, ShortcutsAreLinksNamedLikeTheShells) {
  EXPECT_EQ(ShortcutName("/a/b.txt", "/desk/"), "/desk/b.lnk");
  EXPECT_EQ(ShortcutName("/a/b.txt", "/desk/x.LNK"), "/desk/x.lnk");  // compared with case
  EXPECT_EQ(ShortcutName("/a/b.txt", "/desk/x.lnk"), "/desk/x.lnk");
  EXPECT_EQ(ShortcutName("/a/b.txt", "/desk/x"), "/desk/x.lnk");
  EXPECT_EQ(ShortcutName("/a/表", "/desk\\"), "/desk\\表.lnk");
  const std::string target = Make("target.txt", "t");
  ASSERT_TRUE(MakeShortcut(target, dir_ + "l.lnk"));
  EXPECT_EQ(std::filesystem::read_symlink(SysPath(dir_ + "l.lnk")).string(), SysPath(target));
  ASSERT_TRUE(MakeShortcut(dir_ + "s", dir_ + "l.lnk"));  // replaced
  EXPECT_EQ(std::filesystem::read_symlink(SysPath(dir_ + "l.lnk")).string(), sys_ + "/s");
}

TEST(FsOpsPlaces, DriveTypesComeFromTheMountTable) {
  EXPECT_EQ(DriveTypeName("/no/such/place"), "存在しない");
  EXPECT_EQ(DriveTypeName("/proc"), "判別不能");
  if (std::filesystem::is_directory("/dev/shm")) {
    EXPECT_EQ(DriveTypeName("/dev/shm"), "RAMディスク");
  }
}

TEST(FsOpsTempFiles, ArePrivateAndNeverReused) {
  const std::string folder = PrivateTempFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(PrivateTempFolder(), folder);
  struct stat st;
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  int fd = -1;
  const std::string a = NewTempFile(".bin", &fd);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(::write(fd, "abc", 3), 3);
  ::close(fd);
  const std::string b = NewTempFile(".bin");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.compare(0, folder.size() + 1, folder + "/"), 0);
  EXPECT_EQ(a.substr(a.size() - 4), ".bin");
  EXPECT_EQ(std::filesystem::file_size(a), 3u);
  EXPECT_EQ(std::filesystem::file_size(b), 0u);
}
