#include "script/uExternal.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "common/uStrC.h"

namespace tracemill {

TracemillValue ToExternal(const TValue& v, TExternalArguments& storage) {
  TracemillValue r{};
  switch (v.TypeCode()) {
    case kVarInteger:
      r.type = TRACEMILL_INTEGER;
      r.payload.integer = v.IntegerValue();
      break;
    case kVarDouble:
      r.type = TRACEMILL_DOUBLE;
      r.payload.real = v.DoubleValue();
      break;
    case kVarDate:
      r.type = TRACEMILL_DATE;
      r.payload.real = v.DoubleValue();
      break;
    case kVarBoolean:
      r.type = TRACEMILL_BOOLEAN;
      r.payload.integer = v.BooleanValue() ? 1 : 0;
      break;
    case kVarString:
      storage.Strings.emplace_back(v.StringValue());
      r.type = TRACEMILL_STRING;
      r.count = static_cast<int32_t>(std::min<std::size_t>(v.StringValue().size(), INT32_MAX));
      r.payload.string = storage.Strings.back().c_str();
      break;
    default:
      if (v.IsList()) {
        std::vector<TracemillValue> items;
        items.reserve(v.Count());
        for (const TValue& e : v.Elements()) items.push_back(ToExternal(e, storage));
        storage.Lists.push_back(std::move(items));
        r.type = TRACEMILL_LIST;
        r.count = static_cast<int32_t>(std::min<std::size_t>(v.Count(), INT32_MAX));
        r.payload.items = storage.Lists.back().data();
      } else {
        r.type = TRACEMILL_EMPTY;
      }
      break;
  }
  return r;
}

TValue FromExternal(const TracemillValue& v, int depth) {
  switch (v.type) {
    case TRACEMILL_INTEGER:
      if (v.payload.integer < INT32_MIN || v.payload.integer > INT32_MAX)
        return TValue::Double(static_cast<double>(v.payload.integer));
      return TValue::Integer(static_cast<std::int32_t>(v.payload.integer));
    case TRACEMILL_DOUBLE: return TValue::Double(v.payload.real);
    case TRACEMILL_DATE: return TValue::Date(v.payload.real);
    case TRACEMILL_BOOLEAN: return TValue::Boolean(v.payload.integer != 0);
    case TRACEMILL_STRING: return TValue::String(v.payload.string ? std::string(v.payload.string) : std::string());
    case TRACEMILL_LIST: {
      TValue list = TValue::List();
      // Lists nest one level in practice; a deeper or endless structure is cut.
      if (depth >= 8 || v.count <= 0 || v.payload.items == nullptr) return list;
      for (int32_t i = 0; i < v.count; ++i) list.MutableElements().push_back(FromExternal(v.payload.items[i], depth + 1));
      return list;
    }
    default: return TValue();
  }
}

TExternalLibraries::TExternalLibraries(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return;
  for (const fs::directory_entry& entry : it) {
    std::error_code e2;
    if (!entry.is_regular_file(e2)) continue;
    const std::string name = entry.path().filename().string();
    if (name.size() < 3 || name.compare(name.size() - 3, 3, ".so") != 0) continue;
    if (UpperCaseAscii(name) == "HUEPLANE.SO") continue;
    files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) continue;
    void* symbol = dlsym(module, "ExternalFunction");
    if (!symbol) {
      dlclose(module);
      continue;
    }
    TLibrary lib;
    lib.FileName = file;
    lib.Module = module;
    lib.Function = reinterpret_cast<TracemillExternalFunction>(symbol);
    libraries_.push_back(std::move(lib));
  }
}

TExternalLibraries::~TExternalLibraries() {
  for (TLibrary& lib : libraries_) dlclose(lib.Module);
}

bool TExternalLibraries::Call(const std::string& name, const TValue& arguments, TValue& result,
                              bool& handled) const {
  for (const TLibrary& lib : libraries_) {
    TExternalArguments storage;
    const TracemillValue args = ToExternal(arguments, storage);
    TracemillValue out{};
    unsigned char h = 0;
    const unsigned char ok = lib.Function(name.c_str(), args, &out, &h);
    if (h != 0) {
      handled = true;
      result = FromExternal(out);
      return ok != 0;
    }
  }
  return false;
}

}  // namespace tracemill
