// Placeholder library of built-in functions: knows no name yet.
#include "script/uBuiltin.h"

namespace tracemill {
namespace {
class TEmptyLibrary : public TBuiltinLibrary {
 public:
  bool Call(const TBuiltinCall&, TValue&, bool&) const override { return false; }
};
}  // namespace

const TBuiltinLibrary& StandardBuiltins() {
  static const TEmptyLibrary library;
  return library;
}
}  // namespace tracemill
