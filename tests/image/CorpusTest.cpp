// Every file of the shared test corpus, whatever its kind, goes through both
// built-in readers: each either decodes or is refused with a FileError.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/uError.h"
#include "common/uFileIO.h"
#include "image/uBmp.h"
#include "image/uJpeg.h"

namespace tracemill {
namespace {

const std::string kCorpus = std::string(TRACEMILL_SOURCE_DIR) + "/../shared/corpus";

template <typename Read>
void ExpectDecodesOrRefuses(const std::string& path, Read read, int& decoded) {
  try {
    const TBitmap b = read();
    EXPECT_FALSE(b.Empty()) << path;
    ++decoded;
  } catch (const FileError&) {
  } catch (const std::exception& e) {
    ADD_FAILURE() << path << ": " << e.what();
  }
}

TEST(Corpus, EveryFileEitherDecodesOrIsRefusedByBothReaders) {
  int files = 0, bmps = 0, jpegs = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    const std::string data = ReadFileBytes(path);
    ++files;
    ExpectDecodesOrRefuses(path, [&] { return DecodeBmp(data); }, bmps);
    ExpectDecodesOrRefuses(path, [&] { return DecodeJpeg(data); }, jpegs);
    const std::string ext = entry.path().extension().string();
    int viaFile = 0;
    TBitmap target;
    if (ext == ".bmp") {
      ExpectDecodesOrRefuses(path, [&] { LoadBmpFile(path, target); return target; }, viaFile);
    } else if (ext == ".jpg" || ext == ".jpeg") {
      ExpectDecodesOrRefuses(path, [&] { LoadJpegFile(path, target); return target; }, viaFile);
    }
  }
  EXPECT_GT(files, 2500);
  EXPECT_GT(bmps, 80);
  EXPECT_GT(jpegs, 20);
}

}  // namespace
}  // namespace tracemill
