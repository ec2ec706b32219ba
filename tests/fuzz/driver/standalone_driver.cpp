// Runs a fuzz target without libFuzzer: every file of the seed folder, each
// seed with a few thousand deterministic mutations, and random byte strings.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Run(const std::vector<std::uint8_t>& input) {
  // A copy of exactly the input's size, so the sanitizers see any read past its end.
  std::vector<std::uint8_t> exact(input);
  LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::vector<std::uint8_t>> seeds;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    std::error_code ec;
    if (!std::filesystem::exists(p, ec)) continue;
    auto add = [&](const std::filesystem::path& f) {
      std::ifstream in(f, std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    if (std::filesystem::is_directory(p, ec)) {
      for (auto& e : std::filesystem::directory_iterator(p))
        if (e.is_regular_file()) add(e.path());
    } else {
      add(p);
    }
  }
  seeds.push_back({});
  std::mt19937 rng(12345);
  std::size_t runs = 0;
  for (const auto& seed : seeds) {
    Run(seed);
    ++runs;
    for (int m = 0; m < 2000; ++m) {
      std::vector<std::uint8_t> v = seed;
      int edits = 1 + static_cast<int>(rng() % 8);
      for (int e = 0; e < edits; ++e) {
        switch (rng() % 4) {
          case 0:
            if (!v.empty()) v[rng() % v.size()] = static_cast<std::uint8_t>(rng());
            break;
          case 1:
            v.insert(v.begin() + static_cast<long>(v.empty() ? 0 : rng() % v.size()),
                     static_cast<std::uint8_t>(rng()));
            break;
          case 2:
            if (!v.empty()) v.erase(v.begin() + static_cast<long>(rng() % v.size()));
            break;
          case 3:
            if (!v.empty()) v.resize(rng() % v.size());
            break;
        }
      }
      Run(v);
      ++runs;
    }
  }
  for (int i = 0; i < 2000; ++i) {
    std::vector<std::uint8_t> v(rng() % 512);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    Run(v);
    ++runs;
  }
  std::printf("%zu inputs run\n", runs);
  return 0;
}
