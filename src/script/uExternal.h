#pragma once
// External function libraries: shared objects in a folder that export
// "ExternalFunction" (see TracemillExternal.h).
#include <deque>
#include <string>
#include <vector>

#include "script/TracemillExternal.h"
#include "script/uVariable.h"

namespace tracemill {

class TExternalLibraries {
 public:
  // Loads every regular file "*.so" of the folder (in name order) that
  // exports "ExternalFunction"; the others are released at once.
  explicit TExternalLibraries(const std::string& folder);
  ~TExternalLibraries();
  TExternalLibraries(const TExternalLibraries&) = delete;
  TExternalLibraries& operator=(const TExternalLibraries&) = delete;

  // Offers a call to each library in order until one sets handled; returns
  // that library's success (false when none handled it).
  bool Call(const std::string& name, const TValue& arguments, TValue& result, bool& handled) const;

 private:
  struct TLibrary {
    std::string FileName;
    void* Module = nullptr;
    TracemillExternalFunction Function = nullptr;
  };
  std::vector<TLibrary> libraries_;
};

// Conversions between values and the C struct, exposed for tests.
// The storage vectors keep the strings and element arrays alive.
struct TExternalArguments {
  std::deque<std::string> Strings;
  std::deque<std::vector<TracemillValue>> Lists;
};
TracemillValue ToExternal(const TValue& v, TExternalArguments& storage);
TValue FromExternal(const TracemillValue& v, int depth = 0);

}  // namespace tracemill
