#include "wordloom/platform/stream.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {
namespace {

using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

std::string ReadAll(TStream& s, std::size_t n) {
  std::string out(n, '\0');
  out.resize(s.Read(out.data(), n));
  return out;
}

TEST(TMemoryStreamTest, WriteExtendsAndReadReturnsWhatIsLeft) {
  TMemoryStream s;
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Write("hello", 5), 5u);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Size(), 5);

  s.SetPosition(1);
  EXPECT_EQ(s.Write("EL", 2), 2u);  // overwrites in place
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Bytes(), "hELlo");

  s.SetPosition(3);
  EXPECT_EQ(ReadAll(s, 10), "lo");  // a short read at the end
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(ReadAll(s, 10), "");

  s.SetPosition(4);
  EXPECT_EQ(s.Write("OWORLD", 6), 6u);  // writing across the end extends
  EXPECT_EQ(s.Bytes(), "hELlOWORLD");
  EXPECT_EQ(s.Size(), 10);
}

TEST(TMemoryStreamTest, SeekFromEachOrigin) {
  TMemoryStream s(std::string_view("0123456789"));
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.Size(), 10);
  EXPECT_EQ(s.Seek(3, soBeginning), 3);
  EXPECT_EQ(s.Seek(2, soCurrent), 5);
  EXPECT_EQ(s.Seek(-1, soCurrent), 4);
  EXPECT_EQ(s.Seek(-2, soEnd), 8);
  EXPECT_EQ(ReadAll(s, 5), "89");
  EXPECT_EQ(s.Seek(0, soEnd), 10);
}

TEST(TMemoryStreamTest, SeekPastTheEndThenWriteFillsTheGapWithZeros) {
  TMemoryStream s(std::string_view("ab"));
  EXPECT_EQ(s.Seek(5, soBeginning), 5);
  EXPECT_EQ(s.Size(), 2);  // seeking alone does not grow the stream
  EXPECT_EQ(ReadAll(s, 1), "");
  s.Write("z", 1);
  EXPECT_EQ(s.Bytes(), std::string("ab\0\0\0z", 6));
  EXPECT_EQ(s.Position(), 6);
}

TEST(TMemoryStreamTest, NegativePositionRaisesStreamError) {
  TMemoryStream s(std::string_view("abc"));
  s.SetPosition(2);
  EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(s.Seek(-3, soCurrent), EStreamError);
  EXPECT_THROW(s.Seek(-4, soEnd), EStreamError);
  EXPECT_EQ(s.Position(), 2);  // a refused seek leaves the position
  EXPECT_EQ(s.Seek(-3, soEnd), 0);
}

TEST(TMemoryStreamTest, SetSizeTruncatesOrExtendsWithZeros) {
  TMemoryStream s(std::string_view("abcdef"));
  s.SetPosition(6);
  s.SetSize(3);
  EXPECT_EQ(s.Bytes(), "abc");
  s.SetSize(5);
  EXPECT_EQ(s.Bytes(), std::string("abc\0\0", 5));
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(TMemoryStreamTest, ReadBufferAndWriteBufferAreAllOrNothing) {
  TMemoryStream s(std::string_view("abc"));
  char buf[4] = {};
  s.ReadBuffer(buf, 2);
  EXPECT_EQ(std::string(buf, 2), "ab");
  EXPECT_THAT([&] { s.ReadBuffer(buf, 2); },
              ThrowsMessage<EReadError>(StrEq("Stream read error")));
  s.ReadBuffer(buf, 0);  // nothing asked, nothing to fail

  TMemoryStream out;
  out.WriteBuffer("xyz", 3);
  EXPECT_EQ(out.Bytes(), "xyz");
}

TEST(TMemoryStreamTest, CopyFromCopiesFromTheSourcePosition) {
  TMemoryStream src(std::string_view("0123456789"));
  src.SetPosition(2);
  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(src, 3), 3);
  EXPECT_EQ(dst.Bytes(), "234");
  EXPECT_EQ(src.Position(), 5);

  EXPECT_EQ(dst.CopyFrom(src, 0), 5);  // zero means the rest
  EXPECT_EQ(dst.Bytes(), "23456789");

  src.SetPosition(8);
  EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);

  // Larger than any internal buffer.
  std::string big(100000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  TMemoryStream bsrc(big);
  TMemoryStream bdst;
  EXPECT_EQ(bdst.CopyFrom(bsrc, 0), 100000);
  EXPECT_EQ(bdst.Bytes(), big);
}

class TFileStreamTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return FDir.File(name); }

  testing_support::TempDir FDir;
};

TEST_F(TFileStreamTest, CreateWriteThenReadBack) {
  const std::string path = PathOf("data.bin");
  const std::string bytes("\x00\x01\xFE\xFFtext", 8);
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(bytes.data(), bytes.size());
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.FileName(), path);
  }
  EXPECT_EQ(std::filesystem::file_size(path), 8u);
  {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Position(), 0);
    EXPECT_EQ(f.Size(), 8);
    std::string got(8, '\0');
    f.ReadBuffer(got.data(), 8);
    EXPECT_EQ(got, bytes);
    EXPECT_THAT([&] { f.ReadBuffer(got.data(), 1); },
                ThrowsMessage<EReadError>(StrEq("Stream read error")));
    EXPECT_EQ(f.Seek(-4, soEnd), 4);
    EXPECT_EQ(ReadAll(f, 10), "text");
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);  // opened for reading only
  }
  // fmCreate truncates an existing file.
  { TFileStream(path, fmCreate).WriteBuffer("ab", 2); }
  EXPECT_EQ(std::filesystem::file_size(path), 2u);
}

TEST_F(TFileStreamTest, OpenReadWriteKeepsContentAndUpdatesInPlace) {
  const std::string path = PathOf("rw.bin");
  { TFileStream(path, fmCreate).WriteBuffer("abcdef", 6); }
  {
    TFileStream f(path, fmOpenReadWrite);
    EXPECT_EQ(f.Size(), 6);
    f.SetPosition(2);
    f.WriteBuffer("XY", 2);
    f.SetPosition(0);
    EXPECT_EQ(ReadAll(f, 6), "abXYef");
  }
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(m.Bytes(), "abXYef");
}

TEST_F(TFileStreamTest, SetSizeTruncatesTheFile) {
  const std::string path = PathOf("size.bin");
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("0123456789", 10);
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
  }
  EXPECT_EQ(std::filesystem::file_size(path), 4u);
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(m.Bytes(), "0123");
}

TEST_F(TFileStreamTest, MissingFileRaisesOpenErrorNamingIt) {
  const std::string path = PathOf("no_such_file.dat");
  EXPECT_THAT([&] { TFileStream f(path, fmOpenRead); },
              ThrowsMessage<EFOpenError>(HasSubstr("no_such_file.dat")));
  EXPECT_THAT([&] { TFileStream f(path, fmOpenReadWrite); },
              ThrowsMessage<EFOpenError>(HasSubstr("no_such_file.dat")));
  EXPECT_FALSE(FileExists(path));  // opening did not create it

  // fmCreate in a directory that does not exist cannot create the file.
  const std::string nowhere = PathOf("missing_dir/out.dat");
  EXPECT_THAT([&] { TFileStream f(nowhere, fmCreate); },
              ThrowsMessage<EFCreateError>(HasSubstr("out.dat")));
}

TEST_F(TFileStreamTest, FileExistsAndDeleteFile) {
  const std::string path = PathOf("exists.txt");
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(DeleteFile(path));
  testing_support::WriteFile(path, "x");
  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(DeleteFile(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(std::filesystem::exists(path));

  // A directory is not a file.
  EXPECT_FALSE(FileExists(FDir.Path().string()));
}

TEST_F(TFileStreamTest, MemoryStreamSaveToFileRoundTrip) {
  const std::string path = PathOf("saved.bin");
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  TMemoryStream m(bytes);
  m.SaveToFile(path);
  EXPECT_EQ(testing_support::ReadFile(path), bytes);

  // LoadFromStream takes the whole stream whatever its position.
  TFileStream file(path, fmOpenRead);
  file.SetPosition(100);
  TMemoryStream back;
  back.LoadFromStream(file);
  EXPECT_EQ(back.Bytes(), bytes);
  EXPECT_EQ(back.Position(), 0);
  EXPECT_THROW(back.LoadFromFile(PathOf("absent.bin")), EFOpenError);
}

}  // namespace
}  // namespace wordloom
