// The table engine on large tables: loading, writing, searching and sorting.
//   bench_csv_bench gen FILE ROWS          writes a comma-separated table of ROWS rows
//   bench_csv_bench OP FILE [ROUNDS]       OP: load, render, search, sortnum, sorttext
// Each OP prints "OP <best milliseconds>" (and, for the sorts, "OP_total <ms>" for reading the
// file, loading, sorting, writing and saving the result, as a command-line sort does).
// bench/csv_compare.sh runs it next to python3's csv module and GNU sort.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "table/csvdb.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

// A file mapped into memory (read-only, mapped in one go): the table reads it in place.
class MappedFile {
 public:
  explicit MappedFile(const char* path) {
    const int fd = open(path, O_RDONLY);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) {
      std::fprintf(stderr, "cannot read %s\n", path);
      std::exit(1);
    }
    size_ = static_cast<size_t>(st.st_size);
    if (size_) {
      data_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (data_ == MAP_FAILED) {
        std::fprintf(stderr, "cannot map %s\n", path);
        std::exit(1);
      }
    }
    close(fd);
  }
  ~MappedFile() {
    if (size_) munmap(data_, size_);
  }
  std::string_view Text() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
};

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Rows of about 100 bytes: id, name, price, date, category, note (a quarter of them quoted,
// with commas and doubled quotes), code, mail. Names include characters whose second byte is "\".
void Generate(const char* path, long rows) {
  static const char* const kFamily[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤",
                                        "渡辺", "中村", "小林", "加藤", "表",   "曽我"};
  static const char* const kGiven[] = {"太郎", "花子", "一郎",   "美咲",    "健太",
                                       "由美", "翔",   "さくら", "ソフィア"};
  static const char* const kCategory[] = {"fruit", "vegetable", "meat", "fish",
                                          "drink", "sweets",    "other"};
  static const char* const kNote[] = {"在庫あり 棚の上段", "取り寄せ 三日後", "販売終了",
                                      "新商品 入荷待ち", "特売 週末のみ"};
  uint64_t state = 88172645463325252ull;
  auto next = [&state]() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  std::string out;
  out.reserve(static_cast<size_t>(rows) * 104);
  char buf[256];
  for (long i = 0; i < rows; ++i) {
    const uint64_t r = next();
    out += std::to_string(i);
    out += ',';
    out += kFamily[r % 12];
    out += kGiven[(r >> 8) % 9];
    std::snprintf(buf, sizeof buf, ",%llu.%02llu,%04llu/%02llu/%02llu,%s,",
                  static_cast<unsigned long long>((r >> 16) % 100000),
                  static_cast<unsigned long long>((r >> 33) % 100),
                  static_cast<unsigned long long>(2000 + (r >> 40) % 25),
                  static_cast<unsigned long long>(1 + (r >> 45) % 12),
                  static_cast<unsigned long long>(1 + (r >> 50) % 28), kCategory[(r >> 55) % 7]);
    out += buf;
    const char* note = kNote[(r >> 3) % 5];
    if ((r >> 60) % 4 == 0) {
      out += "\"";
      out += note;
      out += ", \"\"要確認\"\" 担当 ";
      out += kFamily[(r >> 20) % 12];
      out += "\"";
    } else {
      out += note;
      out += " 棚番号 ";
      out += std::to_string((r >> 24) % 1000);
    }
    std::snprintf(buf, sizeof buf, ",%08llX,user%06llu@example.jp\r\n",
                  static_cast<unsigned long long>(r >> 32),
                  static_cast<unsigned long long>((r >> 12) % 1000000));
    out += buf;
  }
  WriteFile(path, out);
  std::printf("gen %ld rows, %zu bytes\n", rows, out.size());
}

double Best(int rounds, const std::function<double()>& once) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) best = std::min(best, once());
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s gen FILE ROWS | OP FILE [ROUNDS]\n", argv[0]);
    return 2;
  }
  const std::string op = argv[1];
  const char* path = argv[2];
  if (op == "gen") {
    Generate(path, argc > 3 ? std::atol(argv[3]) : 500000);
    return 0;
  }
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const MappedFile file(path);
  const std::string_view text = file.Text();
  yume::TCsvDb db;

  if (op == "load") {
    const double ms = Best(rounds, [&] {
      const double t0 = Now();
      db.SetCsvText(text);
      return (Now() - t0) * 1e3;
    });
    std::printf("load %.1f\nrows %d\nbytes %zu\n", ms, db.RowCount(), text.size());
  } else if (op == "render") {
    db.SetCsvText(text);
    size_t size = 0;
    const double ms = Best(rounds, [&] {
      const double t0 = Now();
      const std::string out = db.GetCsvText();
      const double t = (Now() - t0) * 1e3;
      size = out.size();
      return t;
    });
    std::printf("render %.1f\nbytes %zu\n", ms, size);
  } else if (op == "search") {
    db.SetCsvText(text);
    int found = 0;
    const double ms = Best(rounds, [&] {
      const double t0 = Now();
      found = 0;
      for (int r = db.FindContains("ソフィア", 1, 0); r >= 0;
           r = db.FindContains("ソフィア", 1, r + 1))
        ++found;
      return (Now() - t0) * 1e3;
    });
    std::printf("search %.1f\nfound %d\n", ms, found);
  } else if (op == "sortnum" || op == "sorttext") {
    const bool numeric = op == "sortnum";
    auto sort = [&] {
      if (numeric)
        db.SortByNumber(2);
      else
        db.SortByText(1);
    };
    const double ms = Best(rounds, [&] {
      db.SetCsvText(text);
      const double t0 = Now();
      sort();
      return (Now() - t0) * 1e3;
    });
    const std::string out_path = std::string(path) + ".sorted";
    const double total = Best(rounds, [&] {
      const double t0 = Now();
      const MappedFile input(path);
      db.SetCsvText(input.Text());
      sort();
      WriteFile(out_path, db.GetCsvText());
      return (Now() - t0) * 1e3;
    });
    std::printf("%s %.1f\n%s_total %.1f\n", op.c_str(), ms, op.c_str(), total);
  } else {
    std::fprintf(stderr, "unknown operation %s\n", op.c_str());
    return 2;
  }
  return 0;
}
