// Every file of the shared test corpus, whatever its kind, goes through both
// built-in readers: each either decodes or is refused with a FileError. Every
// test of the image suite fails when the corpus is missing.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "TestImages.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "image/uBmp.h"
#include "image/uJpeg.h"

namespace tracemill {
namespace {

// Fails every test of the suite, saying why, when the corpus folder is
// missing (a fatal failure here would only skip them).
class CorpusPresent : public ::testing::Environment {
 public:
  void SetUp() override {
    EXPECT_TRUE(std::filesystem::is_directory(testing::kCorpus))
        << "The test corpus " << testing::kCorpus
        << " is missing; configure the build with -DTRACEMILL_CORPUS_DIR=<its folder>.";
  }
};
[[maybe_unused]] const auto* const kCorpusCheck = ::testing::AddGlobalTestEnvironment(new CorpusPresent);

const TImageLimits& kLimits = testing::kTestLimits;

// Counts a decode that gives a picture; a FileError is a refusal, anything else a failure.
void DecodeOrRefuse(const std::string& path, const std::function<TBitmap()>& read, int& decoded) {
  try {
    EXPECT_FALSE(read().Empty()) << path;
    ++decoded;
  } catch (const FileError&) {
  } catch (const std::exception& e) {
    ADD_FAILURE() << path << ": " << e.what();
  }
}

TEST(Corpus, EveryFileEitherDecodesOrIsRefusedByBothReaders) {
  int files = 0, bmps = 0, jpegs = 0, viaFile = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(testing::kCorpus)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string(), ext = entry.path().extension().string();
    const std::string data = ReadFileBytes(path);
    ++files;
    DecodeOrRefuse(path, [&] { return DecodeBmp(data, kLimits); }, bmps);
    DecodeOrRefuse(path, [&] { return DecodeJpeg(data, kLimits); }, jpegs);
    TBitmap target;
    if (ext == ".bmp") DecodeOrRefuse(path, [&] { LoadBmpFile(path, target, kLimits); return target; }, viaFile);
    if (ext == ".jpg" || ext == ".jpeg")
      DecodeOrRefuse(path, [&] { LoadJpegFile(path, target, kLimits); return target; }, viaFile);
  }
  EXPECT_GT(files, 2500);
  EXPECT_GT(bmps, 80);
  EXPECT_GT(jpegs, 20);
  EXPECT_GT(viaFile, 100);
}

}  // namespace
}  // namespace tracemill
