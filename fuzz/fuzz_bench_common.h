#pragma once
// Shared by the bench text fuzzers: a bench whose pictures come from memory
// (every path is a small picture) and which answers every message quietly.

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/uBench.h"
#include "settings/uEnvironment.h"

namespace tracemill::fuzzing {

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "bench text: %s\n", what);
    std::abort();
  }
}

inline std::unique_ptr<TBench> MakeBench() {
  static TQuietMessageService messages;
  static TIniFile store("unused.ini");
  SetJapanese(false);
  TPictureLoader loader{[](const std::string&) { return true; }, [](const std::string&) { return true; },
                        [](const std::string&, TBitmap& target) { target = TBitmap(64, 48); }};
  auto bench = std::make_unique<TBench>(messages, store, loader);
  bench->Placement.HasRestoredRect = true;
  bench->SetClientSize(300, 200);
  return bench;
}

}  // namespace tracemill::fuzzing
