// The settings store with 20,000 entries: lookups and a whole Load + Save,
// against the straightforward store (linear lookups, the nesting rules applied
// by joining the open element names for every entry). Before measuring, both
// write the same entries and their files are compared byte for byte.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/uFileIO.h"
#include "common/uIntList.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "settings/uIniFile.h"

using namespace tracemill;

namespace {

constexpr int kEntries = 20000;

// ------------------------------------------------------------ the straightforward store

class TNaiveIniFile {
 public:
  void Write(const std::string& section, const std::string& key, char kind, const std::string& text) {
    const std::string path = section.empty() ? key : section + "\\" + key;
    const int i = IndexOf(UpperCaseAscii(path));
    if (i < 0) {
      keys_.push_back(path);
      upper_.push_back(UpperCaseAscii(path));
      types_.push_back(std::string(1, kind));
      values_.push_back(text);
    } else {
      keys_[i] = path;
      types_[i] = std::string(1, kind);
      values_[i] = text;
    }
  }

  std::string Read(const std::string& section, const std::string& key, const std::string& def) const {
    const int i = IndexOf(UpperCaseAscii(section.empty() ? key : section + "\\" + key));
    return i < 0 ? def : values_[i];
  }

  std::string Save() {
    const TIntegerList order = SortUpperCasePermutation(upper_);
    ReorderByPermutation(keys_, order);
    ReorderByPermutation(upper_, order);
    ReorderByPermutation(types_, order);
    ReorderByPermutation(values_, order);
    std::vector<std::string> lines{"<?xml version='1.0' encoding='UTF-8' ?>", "<IniFile version='1.0'>"};
    std::vector<std::string> stack;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      const std::string& path = keys_[i];
      const std::string probe = UpperCaseAscii(path + "\\");
      std::size_t m = 0;
      std::string joined;
      for (std::size_t k = 0; k < stack.size(); ++k) {
        const std::string candidate = joined + stack[k] + "\\";
        if (probe.rfind(UpperCaseAscii(candidate), 0) != 0) break;
        joined = candidate;
        m = k + 1;
      }
      for (std::size_t k = stack.size(); k-- > m;)
        if (k != stack.size() - 1) lines.push_back(std::string(k + 1, ' ') + "</" + stack[k] + ">");
      stack.resize(m);
      std::string rest = path.substr(joined.size());
      std::vector<std::string> parts;
      for (std::size_t p; (p = rest.find('\\')) != std::string::npos; rest.erase(0, p + 1))
        parts.push_back(rest.substr(0, p));
      parts.push_back(rest);
      for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
        lines.push_back(std::string(stack.size() + 1, ' ') + "<" + parts[k] + ">");
        stack.push_back(parts[k]);
      }
      const std::string& name = parts.back();
      std::string line = std::string(stack.size() + 1, ' ') + "<" + name + " Type=\"" + TypeName(types_[i]) +
                         "\">" + values_[i];
      if (!(i + 1 < keys_.size() && UpperCaseAscii(keys_[i + 1]).rfind(UpperCaseAscii(path + "\\"), 0) == 0))
        line += "</" + name + ">";
      lines.push_back(line);
      stack.push_back(name);
    }
    for (std::size_t k = stack.size(); k-- > 0;)
      if (k != stack.size() - 1) lines.push_back(std::string(k + 1, ' ') + "</" + stack[k] + ">");
    lines.push_back("</IniFile>");
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
  }

  void Load(const std::string& text) {
    keys_.clear();
    upper_.clear();
    types_.clear();
    values_.clear();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    std::vector<std::string> stack;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
      std::string line = lines[i];
      std::size_t lead = 0;
      while (lead < line.size() && static_cast<unsigned char>(line[lead]) <= ' ') ++lead;
      line.erase(0, lead);
      if (line.rfind("</", 0) == 0) continue;
      stack.resize(lead - 1);
      std::string section;
      for (const auto& s : stack) section += s + "\\";
      line.erase(0, 1);
      const std::size_t blank = line.find(' ');
      if (blank == std::string::npos) {
        stack.push_back(line.substr(0, line.size() - 1));
        continue;
      }
      const std::string name = line.substr(0, blank);
      const std::size_t quote = line.find('"', blank + 7);
      std::string type = UpperCaseAscii(line.substr(blank + 7, quote - blank - 7));
      std::string value = line.substr(quote + 2);
      const std::string tail = "</" + name + ">";
      if (value.size() >= tail.size() && SameTextAscii(value.substr(value.size() - tail.size()), tail))
        value.resize(value.size() - tail.size());
      keys_.push_back(section + name);
      upper_.push_back(UpperCaseAscii(section + name));
      types_.push_back(type);
      values_.push_back(value);
      stack.push_back(name);
    }
  }

 private:
  int IndexOf(const std::string& upper) const {
    for (std::size_t i = 0; i < upper_.size(); ++i)
      if (upper_[i] == upper) return static_cast<int>(i);
    return -1;
  }
  static std::string TypeName(const std::string& type) {
    switch (type.empty() ? 'S' : type[0]) {
      case 'B': return "Boolean";
      case 'D': return "Date";
      case 'F': return "Float";
      case 'I': return "Integer";
      default: return "String";
    }
  }
  std::vector<std::string> keys_, upper_, types_, values_;
};

// ------------------------------------------------------------ the data

struct TWrite {
  std::string section, key;
  TIniValue value;
};

// 20,000 values in 200 sections of three levels, in shuffled order, of every
// kind; some sections also hold a value of their own.
const std::vector<TWrite>& Writes() {
  static const std::vector<TWrite> writes = [] {
    std::vector<TWrite> w;
    std::mt19937 random(12345);
    for (int i = 0; i < kEntries; ++i) {
      const int s = i / 100;
      const int k = i % 100;
      const std::string section = "Bench\\Section" + std::to_string(s) + "\\Sub" + std::to_string(s % 7);
      if (k == 99 && s % 10 == 0) {
        w.push_back({"Bench\\Section" + std::to_string(s), "sub" + std::to_string(s % 7), std::string("holder")});
        continue;
      }
      TIniValue value;
      switch (k % 5) {
        case 0: value = std::int32_t(random() % 100000) - 5000; break;
        case 1: value = std::uniform_real_distribution<double>(-1e6, 1e6)(random); break;
        case 2: value = (random() & 1) != 0; break;
        case 3: value = std::string("{x}, {y}, 表示 100% line\r\nnext ") + std::to_string(i); break;
        default: value = TIniDateTime{2000 + k, 1 + k % 12, 1 + k % 28, k % 24, k % 60, (k * 7) % 60}; break;
      }
      w.push_back({section, "Key" + std::to_string(k), value});
    }
    std::shuffle(w.begin(), w.end(), random);
    return w;
  }();
  return writes;
}

void Fill(TIniFile& ini) {
  for (const auto& w : Writes()) ini.WriteValue(w.section, w.key, w.value);
}

// The naive store gets exactly the kinds and texts the store keeps.
void Fill(TNaiveIniFile& naive) {
  TIniFile one("unused.ini");
  for (const auto& w : Writes()) {
    one.Clear();
    one.WriteValue(w.section, w.key, w.value);
    naive.Write(w.section, w.key, one.Entry(0).Kind, one.Entry(0).Text);
  }
}

const std::string& ReferenceText() {
  static const std::string text = [] {
    TNaiveIniFile naive;
    Fill(naive);
    return naive.Save();
  }();
  return text;
}

bool SameFileAsNaive() {
  static const bool same = [] {
    TIniFile ini("unused.ini");
    Fill(ini);
    const bool equal = ini.SaveToText() == ReferenceText();
    std::fprintf(stderr, "settings file of %d entries, %zu bytes: %s the straightforward store's\n", kEntries,
                 ReferenceText().size(), equal ? "byte-identical to" : "DIFFERENT FROM");
    return equal;
  }();
  return same;
}

std::vector<std::pair<std::string, std::string>> LookupKeys() {
  std::vector<std::pair<std::string, std::string>> keys;
  for (std::size_t i = 0; i < Writes().size(); i += 37) keys.push_back({Writes()[i].section, Writes()[i].key});
  return keys;
}

// ------------------------------------------------------------ measurements

void BM_ReadValue_Indexed(benchmark::State& state) {
  if (!SameFileAsNaive()) state.SkipWithError("saved file differs from the straightforward store's");
  TIniFile ini("unused.ini");
  Fill(ini);
  const auto keys = LookupKeys();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& [section, key] = keys[i++ % keys.size()];
    benchmark::DoNotOptimize(ini.ReadValue(section, key, std::string_view("default")));
  }
}
BENCHMARK(BM_ReadValue_Indexed);

void BM_ReadValue_Naive(benchmark::State& state) {
  TNaiveIniFile naive;
  naive.Load(ReferenceText());
  const auto keys = LookupKeys();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& [section, key] = keys[i++ % keys.size()];
    benchmark::DoNotOptimize(naive.Read(section, key, "default"));
  }
}
BENCHMARK(BM_ReadValue_Naive);

void BM_LoadSave_Indexed(benchmark::State& state) {
  if (!SameFileAsNaive()) state.SkipWithError("saved file differs from the straightforward store's");
  TIniFile ini("unused.ini");
  for (auto _ : state) {
    ini.LoadFromText(ReferenceText());
    const std::string text = ini.SaveToText();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ReferenceText().size()));
}
BENCHMARK(BM_LoadSave_Indexed)->Unit(benchmark::kMillisecond);

void BM_LoadSave_Naive(benchmark::State& state) {
  TNaiveIniFile naive;
  for (auto _ : state) {
    naive.Load(ReferenceText());
    const std::string text = naive.Save();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ReferenceText().size()));
}
BENCHMARK(BM_LoadSave_Naive)->Unit(benchmark::kMillisecond);

// The whole program path: read the file from disk, write it back safely.
void BM_LoadSave_File(benchmark::State& state) {
  const std::string folder = std::filesystem::temp_directory_path().string() + "/tm_bench_settings_" +
                             std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string name = folder + "/tracemill.ini";
  WriteFileAtomic(name, ReferenceText());
  TIniFile ini(name);
  for (auto _ : state) {
    ini.Load();
    if (!ini.Save()) state.SkipWithError("save failed");
  }
  if (ReadFileBytes(name) != ReferenceText()) state.SkipWithError("file on disk changed");
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadSave_File)->Unit(benchmark::kMillisecond);

}  // namespace
