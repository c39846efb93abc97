// gzip facility: whole-file copies, record counts from the tail, the appendable writer,
// in-place operations, and failures that must leave no partial or damaged file.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/Gzip_Size.h"
#include "platform/Io_Fault.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "result_files/gzip_stream.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

std::string random_bytes(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(random() & 0xFF);
  return s;
}

std::string tail_of(const std::string& bytes) { return bytes.substr(bytes.size() - 10); }

std::uint32_t word_at(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

// Uncompresses with the system's gzip tool; "<failed>" when it reports an error.
std::string system_gunzip(const std::string& path) {
  std::string out;
  FILE* pipe = ::popen(("gzip -dc '" + path + "' 2>/dev/null").c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  return ::pclose(pipe) == 0 ? out : "<failed>";
}

// Quiet pauses for the retrying write, recording their lengths.
struct Pause_Recorder {
  std::vector<int> pauses;
  Pause_Recorder() {
    gzip_set_pause([this](int ms) { pauses.push_back(ms); });
  }
  ~Pause_Recorder() { gzip_set_pause(nullptr); }
};

TEST(Gzip_Copy, RoundTripGivesTheSameBytes) {
  const std::string contents[] = {
      "", "a", "abc\n", std::string(100000, 'x'), random_bytes(300000, 7), random_bytes(1 << 20, 11),
  };
  for (const auto& bytes : contents) {
    Scratch_Folder dir;
    write_bytes(dir / "plain", bytes);
    COMPRESS_FILE(dir / "plain", dir / "packed.gz  ");
    const std::string packed = read_bytes(dir / "packed.gz");
    EXPECT_EQ(tail_of(packed).substr(0, 2), std::string("\x03\x00", 2));
    EXPECT_EQ(word_at(packed, packed.size() - 4), bytes.size());
    EXPECT_EQ(word_at(packed, packed.size() - 8), crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
    EXPECT_EQ(system_gunzip(dir / "packed.gz"), bytes);
    write_bytes(dir / "back", std::string(bytes.size() + 5000, 'L'));  // longer file to be replaced
    UNCOMPRESS_FILE(dir / "packed.gz", dir / "back");
    EXPECT_EQ(read_bytes(dir / "back"), bytes) << bytes.size();
    EXPECT_EQ(dir.listing(), "back packed.gz plain");
  }
}

TEST(Gzip_Copy, EmptyFileTail) {
  Scratch_Folder dir;
  write_bytes(dir / "empty", "");
  COMPRESS_FILE(dir / "empty", dir / "empty.gz");
  EXPECT_EQ(tail_of(read_bytes(dir / "empty.gz")), std::string("\x03\x00\0\0\0\0\0\0\0\0", 10));
  UNCOMPRESS_FILE(dir / "empty.gz", dir / "back");
  EXPECT_EQ(read_bytes(dir / "back"), "");
}

TEST(Gzip_Copy, ReadsStandardGzipMembers) {
  Scratch_Folder dir;
  const std::string bytes = random_bytes(50000, 3);
  write_bytes(dir / "plain", bytes);
  ASSERT_EQ(std::system(("gzip -c '" + (dir / "plain") + "' > '" + (dir / "std.gz") + "'").c_str()), 0);
  UNCOMPRESS_FILE(dir / "std.gz", dir / "back");
  EXPECT_EQ(read_bytes(dir / "back"), bytes);
}

// A damaged or foreign input is a fatal error with its reason; the target stays as it was.
TEST(Gzip_Copy, BadInputStopsAndKeepsTheTarget) {
  Scratch_Folder dir;
  const std::string bytes = random_bytes(200000, 5);
  write_bytes(dir / "plain", bytes);
  COMPRESS_FILE(dir / "plain", dir / "good.gz");
  const std::string good = read_bytes(dir / "good.gz");
  std::string corrupt = good;
  corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x55);
  std::string bad_crc = good;
  bad_crc[bad_crc.size() - 6] = static_cast<char>(bad_crc[bad_crc.size() - 6] ^ 1);
  const struct {
    std::string input;
    std::string reason;  // after "<input>: "
  } cases[] = {
      {good.substr(0, good.size() / 2), "unexpected end of file"},
      {good.substr(0, good.size() - 1), "unexpected end of file"},
      {good.substr(0, 11), "unexpected end of file"},
      {"plain text, not gzip", "not in gzip format"},
      {"", "not in gzip format"},
      {bad_crc, "incorrect data check"},
  };
  for (const auto& c : cases) {
    const std::string input = dir / "in.gz";
    write_bytes(input, c.input);
    write_bytes(dir / "target", "old target");
    Console_Capture console;
    EXPECT_THROW(UNCOMPRESS_FILE(input, dir / "target"), Program_Stop);
    EXPECT_EQ(console.text(), "\n\n Error while attempting to uncompress " + input + "\n " + input + ": " + c.reason +
                                  "\n\n\n");
    EXPECT_EQ(read_bytes(dir / "target"), "old target");
    EXPECT_EQ(dir.listing(), "good.gz in.gz plain target");
  }
  // Damage inside the deflate data: whatever zlib calls it, it is an error.
  write_bytes(dir / "in.gz", corrupt);
  Console_Capture console;
  EXPECT_THROW(UNCOMPRESS_FILE(dir / "in.gz", dir / "target"), Program_Stop);
  EXPECT_EQ(read_bytes(dir / "target"), "old target");

  Console_Capture missing;
  EXPECT_THROW(COMPRESS_FILE(dir / "missing", dir / "out.gz"), Program_Stop);
  EXPECT_EQ(missing.text(), "\n\n Error while attempting to compress " + (dir / "missing") + "\n " + (dir / "missing") +
                                ": No such file or directory\n\n\n");
  EXPECT_EQ(dir.listing(), "good.gz in.gz plain target");
}

// Fail every boundary call in turn: each failure stops with the target untouched (its mode
// too) and no working file left; once the run passes, the output is complete and keeps the
// target's mode. With unnamed working files, then named ones.
TEST(Gzip_Copy, InjectedFaultsLeaveNoPartialOutput) {
  Pause_Recorder quiet;
  for (auto [compress, named] : {std::pair{true, false}, {false, false}, {true, true}, {false, true}}) {
    NAMED_WORKING_FILES_ONLY(named);
    Scratch_Folder dir;
    const std::string bytes = random_bytes(600000, 9);
    write_bytes(dir / "plain", bytes);
    COMPRESS_FILE(dir / "plain", dir / "packed.gz");
    const std::string source = compress ? dir / "plain" : dir / "packed.gz";
    const std::string before = dir.listing();
    for (long n = 1;; ++n) {
      write_bytes(dir / "target", "old target");
      std::filesystem::permissions(dir / "target", std::filesystem::perms(0640));
      Console_Capture console;
      IO_FAULT_ARM(n, -1);
      bool stopped = false;
      try {
        if (compress)
          COMPRESS_FILE(source, dir / "target");
        else
          UNCOMPRESS_FILE(source, dir / "target");
      } catch (const Program_Stop&) {
        stopped = true;
      }
      const long calls = IO_FAULT_CALLS();
      IO_FAULT_ARM(0);
      EXPECT_EQ(dir.listing(), before + " target") << n;
      EXPECT_EQ(std::filesystem::status(dir / "target").permissions(), std::filesystem::perms(0640)) << n;
      if (!stopped) {
        EXPECT_LT(calls, n);
        EXPECT_EQ(compress ? system_gunzip(dir / "target") : read_bytes(dir / "target"), bytes);
        break;
      }
      EXPECT_EQ(read_bytes(dir / "target"), "old target") << n;
      EXPECT_NE(console.text().find(" Error while attempting to"), std::string::npos);
      ASSERT_LT(n, 200);
    }
  }
  NAMED_WORKING_FILES_ONLY(false);
}

TEST(Gzip_Copy, RetryingWritePausesAndCounts) {
  const struct {
    long failures;  // consecutive failed writes
    std::vector<int> pauses;
    int retries;
    int status;
  } cases[] = {
      {0, {}, 0, 0},
      {1, {0}, 0, 0},
      {3, {0, 30, 120}, 2, 0},
      {26, {}, 25, 28},  // gives up after the pause with i = 25
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    write_bytes(dir / "plain", "some bytes");
    COMPRESS_FILE(dir / "plain", dir / "packed.gz");
    Pause_Recorder recorder;
    IO_FAULT_ARM(c.failures ? 1 : 0, c.failures, Io_Kind::Write);
    int status = -1, retries = -1;
    GZIP_UNCOMPRESS_NAMED(dir / "packed.gz", dir / "back", status, retries);
    IO_FAULT_ARM(0);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(retries, c.retries);
    if (c.failures == 26) {
      ASSERT_EQ(recorder.pauses.size(), 26u);
      EXPECT_EQ(recorder.pauses.back(), 18750);
      EXPECT_FALSE(FILE_EXISTS(dir / "back"));
    } else {
      EXPECT_EQ(recorder.pauses, c.pauses);
      EXPECT_EQ(read_bytes(dir / "back"), "some bytes");
    }
  }
}

TEST(Gzip_Nb_Outputs, CountsWholeRecordsFromTheTail) {
  Scratch_Folder dir;
  write_bytes(dir / "records", std::string(3 * 36 + 20, 'r'));
  COMPRESS_FILE(dir / "records", dir / "records.gz");
  write_bytes(dir / "short.gz", read_bytes(dir / "records.gz").substr(0, 19));
  ASSERT_EQ(std::system(("gzip -c '" + (dir / "records") + "' > '" + (dir / "std.gz") + "'").c_str()), 0);
  write_bytes(dir / "plain", "not gzip, but long enough to have a tail");
  const struct {
    std::string name;
    std::int32_t record_size;
    std::int32_t count;
  } cases[] = {
      {"records.gz", 36, 3},   {"records.gz  ", 36, 3}, {"records.gz", 128, 1}, {"records.gz", 129, 0},
      {"records.gz", 1, 128},  {"records.gz", 0, -666}, {"records.gz", -4, -666}, {"missing.gz", 36, -666},
      {"short.gz", 36, -666},  {"std.gz", 36, -666},    {"plain", 36, -666},
  };
  for (const auto& c : cases) EXPECT_EQ(GZIP_NB_OUTPUTS(dir / c.name, c.record_size), c.count) << c.name;
}

// An appendable file of `chunks` 16 MiB runs of a 64-byte pattern (far quicker to inflate than
// zeros), built from one compressed chunk: after a full flush a chunk's deflate bytes stand
// alone, so repeating them makes a valid stream of any size in milliseconds.
void write_pattern_chunks(const std::string& name, int chunks) {
  constexpr std::size_t Chunk = 16u << 20;
  std::string zeros(Chunk, '\0'), block(Chunk / 64, '\0');
  for (std::size_t i = 0; i < Chunk; ++i) zeros[i] = static_cast<char>(i % 64);
  z_stream z{};
  ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  z.next_in = reinterpret_cast<Bytef*>(zeros.data());
  z.avail_in = Chunk;
  z.next_out = reinterpret_cast<Bytef*>(block.data());
  z.avail_out = static_cast<uInt>(block.size());
  ASSERT_EQ(deflate(&z, Z_FULL_FLUSH), Z_OK);
  ASSERT_EQ(z.avail_in, 0u);
  block.resize(block.size() - z.avail_out);
  deflateEnd(&z);
  const uLong chunk_crc = crc32(0, reinterpret_cast<const Bytef*>(zeros.data()), Chunk);
  uLong crc = 0;
  std::string bytes("\x1F\x8B\x08\0\0\0\0\0\x02\x03", 10);
  for (int i = 0; i < chunks; ++i) {
    bytes += block;
    crc = crc32_combine(crc, chunk_crc, Chunk);
  }
  const std::uint64_t size = std::uint64_t{Chunk} * static_cast<unsigned>(chunks);
  bytes += std::string("\x03\0", 2);
  for (std::uint32_t v : {static_cast<std::uint32_t>(crc), static_cast<std::uint32_t>(size)})
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i));
  write_bytes(name, bytes);
}

// 8 MiB, one output of a 128^3 single-precision field.
constexpr std::int32_t Big_Record = 128 * 128 * 128 * 4;

TEST(Gzip_Nb_Outputs, CountsPastTheTrailersFourGibibytes) {
  Scratch_Folder dir;
  const std::string name = dir / "big.gz";
  write_pattern_chunks(name, 520 / 2);  // 520 outputs: the trailer says 8
  const std::int64_t counted = gzip_streams_counted();
  EXPECT_EQ(GZIP_NB_OUTPUTS(name, Big_Record), 520);
  EXPECT_EQ(gzip_streams_counted(), counted + 1);
  EXPECT_EQ(GZIP_NB_OUTPUTS(name, Big_Record), 520);  // known now: not inflated again

  // A growing case: one more output appended is seen from the trailer and the known size.
  int status = -1, retries = -1;
  GZIP_OPEN(name, status, retries);
  ASSERT_EQ(status, 0);
  const std::vector<float> field(Big_Record / 4, 0.0f);
  GZIP_APPEND_SINGLE_ARRAY(static_cast<std::int64_t>(field.size()), field.data(), status, retries);
  ASSERT_EQ(status, 0);
  GZIP_CLOSE(status, retries);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(GZIP_NB_OUTPUTS(name, Big_Record), 521);
  EXPECT_EQ(gzip_streams_counted(), counted + 1);

  // A file put in its place is not taken for the grown one.
  write_pattern_chunks(dir / "other.gz", 513);
  ASSERT_EQ(std::rename((dir / "other.gz").c_str(), name.c_str()), 0);
  EXPECT_EQ(GZIP_NB_OUTPUTS(name, Big_Record), 1026);
  EXPECT_EQ(gzip_streams_counted(), counted + 2);

  // A stream with a piece missing cannot be counted.
  const std::string bytes = read_bytes(name);
  write_bytes(dir / "cut.gz", bytes.substr(0, bytes.size() / 2) + bytes.substr(bytes.size() / 2 + 1000));
  EXPECT_EQ(GZIP_NB_OUTPUTS(dir / "cut.gz", Big_Record), -666);
}

TEST(Gzip_Nb_Outputs, TrailerSettlesWhatCannotHaveGrownByFourGibibytes) {
  // 4 161 790 bytes of deflate data hold at most 2^32 - 1 bytes.
  const struct {
    std::int64_t known_file_size, file_size;
    bool settles;
  } cases[] = {
      {0, 20, true},
      {0, 4161780, true},
      {0, 4161781, false},
      {100000000, 100000000 + 4161780, true},
      {100000000, 100000000 + 4161781, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(gzip_trailer_settles(c.known_file_size, c.file_size), c.settles) << c.known_file_size << " " << c.file_size;
}

TEST(Gzip_Appendable, EmptyFileAndPasses) {
  Scratch_Folder dir;
  const std::string name = dir / "app.gz";
  int status = -1, retries = -1;
  GZIP_CREATE(name, status, retries);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read_bytes(name), std::string("\x1F\x8B\x08\0\0\0\0\0\x02\x03\x03\0\0\0\0\0\0\0\0\0", 20));
  EXPECT_EQ(system_gunzip(name), "");
  GZIP_CHECK(name, status);
  EXPECT_EQ(status, 0);

  GZIP_OPEN(name, status, retries);
  EXPECT_EQ(status, 0);
  GZIP_APPEND_STRING("ab", status, retries);
  EXPECT_EQ(status, 0);
  GZIP_CLOSE(status, retries);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(system_gunzip(name), "ab");
  GZIP_OPEN(name, status, retries);
  GZIP_APPEND_STRING("c", status, retries);
  GZIP_CLOSE(status, retries);
  EXPECT_EQ(status, 0);
  const std::string bytes = read_bytes(name);
  EXPECT_EQ(system_gunzip(name), "abc");
  EXPECT_EQ(word_at(bytes, bytes.size() - 4), 3u);
  EXPECT_EQ(word_at(bytes, bytes.size() - 8), 0x352441C2u);  // CRC-32 of "abc"
  EXPECT_EQ(GZIP_NB_OUTPUTS(name, 1), 3);
  UNCOMPRESS_FILE(name, dir / "back");
  EXPECT_EQ(read_bytes(dir / "back"), "abc");
}

TEST(Gzip_Appendable, NewFileWithWordsAndLargeData) {
  Scratch_Folder dir;
  const std::string name = dir / "new.gz";
  const std::string big = random_bytes(100000, 13);
  const float values[3] = {1.5f, -2.0f, 3.25f};
  int status = -1, retries = -1;
  GZIP_OPEN_EMPTY(name, status, retries);
  EXPECT_EQ(status, 0);
  GZIP_APPEND_INTEGER(0x01020304, status, retries);
  EXPECT_EQ(status, 0);
  GZIP_APPEND_SINGLE(0.5f, status, retries);
  GZIP_APPEND_SINGLE_ARRAY(3, values, status, retries);
  GZIP_APPEND_STRING(big, status, retries);
  EXPECT_EQ(status, 0);
  GZIP_CLOSE(status, retries);
  EXPECT_EQ(status, 0);
  std::string expected("\x04\x03\x02\x01", 4);
  float half = 0.5f;
  expected.append(reinterpret_cast<const char*>(&half), 4);
  expected.append(reinterpret_cast<const char*>(values), 12);
  expected += big;
  EXPECT_EQ(system_gunzip(name), expected);
}

TEST(Gzip_Appendable, StatusCodes) {
  Scratch_Folder dir;
  write_bytes(dir / "plain", "plain text of some length here");
  write_bytes(dir / "tiny.gz", std::string("\x1F\x8B\x08\0\0", 5));
  write_bytes(dir / "two", "ab");
  ASSERT_EQ(std::system(("gzip -c '" + (dir / "plain") + "' > '" + (dir / "std.gz") + "'").c_str()), 0);
  int retries = 0;
  auto run = [&](int operation, const std::string& name) {
    return gzip_dispatch(operation, static_cast<std::int64_t>(name.size()), name.c_str(), retries);
  };
  const struct {
    int operation;
    std::string name;
    int status;
  } cases[] = {
      {9, "x", 2},
      {0, "x", 2},
      {5, "abc", 112},  // append before any open: nothing to restore
      {6, "x", 115},
      {2, "missing.gz", 3},
      {3, "missing.gz", 3},
      {2, "two", 104},
      {2, "plain", 105},
      {2, "tiny.gz", 106},
      {2, "std.gz", 108},
      {3, "std.gz", 108},
      {1, dir.path().string() + "/no/such/x.gz", 121},
  };
  for (const auto& c : cases) {
    const std::string name = c.name.front() == '/' ? c.name : dir / c.name;
    EXPECT_EQ(run(c.operation, name), c.status) << c.operation << " " << c.name;
  }
  EXPECT_EQ(gzip_dispatch(1, 0, "", retries), 2);
  int status = 0;
  std::int64_t count = 0;
  EXPECT_EQ(gzip_count_records(3, "x.gz", 0, count), 1);
  GZIP_CHECK(dir / "std.gz", status);
  EXPECT_EQ(status, 108);
}

// A writing pass that fails puts the old tail back: the file is exactly as before the pass.
TEST(Gzip_Appendable, FailedAppendRestoresTheFile) {
  Pause_Recorder quiet;
  Scratch_Folder dir;
  const std::string name = dir / "app.gz";
  int status = -1, retries = -1;
  GZIP_CREATE(name, status, retries);
  GZIP_OPEN(name, status, retries);
  GZIP_APPEND_STRING("first pass", status, retries);
  GZIP_CLOSE(status, retries);
  const std::string before = read_bytes(name);

  GZIP_OPEN(name, status, retries);
  ASSERT_EQ(status, 0);
  IO_FAULT_ARM(1, 26, Io_Kind::Write);  // every retry of the first buffer write fails
  GZIP_APPEND_STRING(random_bytes(100000, 17), status, retries);
  IO_FAULT_ARM(0);
  EXPECT_EQ(status, 14 + 50);
  EXPECT_EQ(read_bytes(name), before);
  EXPECT_EQ(system_gunzip(name), "first pass");
  GZIP_APPEND_STRING("x", status, retries);
  EXPECT_EQ(status, 112);  // the stream was closed by the restore

  // Failing the close's writes restores as well.
  GZIP_OPEN(name, status, retries);
  GZIP_APPEND_STRING(" and more", status, retries);
  IO_FAULT_ARM(1, 26, Io_Kind::Write);
  GZIP_CLOSE(status, retries);
  IO_FAULT_ARM(0);
  EXPECT_EQ(status, 19 + 50);  // the last data and the trailer
  EXPECT_EQ(read_bytes(name), before);
}

TEST(Gzip_In_Place, CompressThenUncompress) {
  Scratch_Folder dir;
  const std::string name = dir / "result.dat";
  const std::string bytes = random_bytes(70000, 21) + std::string(50000, 'z');
  write_bytes(name, bytes);
  int status = -1, retries = -1;
  GZIP_COMPRESS_IN_PLACE(name, status, retries);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(system_gunzip(name), bytes);
  EXPECT_EQ(dir.listing(), "result.dat");
  GZIP_UNCOMPRESS_IN_PLACE(name + "  ", status, retries);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read_bytes(name), bytes);
  // Not gzip: the file is left alone.
  GZIP_UNCOMPRESS_IN_PLACE(name, status, retries);
  EXPECT_EQ(status, 28);
  EXPECT_EQ(read_bytes(name), bytes);
  EXPECT_EQ(dir.listing(), "result.dat");
}

}  // namespace
