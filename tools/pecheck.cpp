// pecheck: checks a built Windows binary against expectations and prints
// what it found. Exit status 0 when every expectation holds, 1 otherwise.
//   pecheck [--machine i386|amd64] [--max-size BYTES] [--imports A.dll,B.dll]
//           [--exports f,g] [--shared-section NAME] FILE
// --imports lists the DLLs allowed (case ignored); --exports the exact set.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "PeImage.h"

namespace {

std::set<std::string> SplitList(const std::string& list, bool foldCase) {
  std::set<std::string> items;
  std::stringstream in(list);
  for (std::string item; std::getline(in, item, ',');) {
    if (foldCase) {
      std::transform(item.begin(), item.end(), item.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    if (!item.empty()) items.insert(item);
  }
  return items;
}

std::string Fold(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::string machine, imports, exports, sharedSection, file;
  long long maxSize = -1;
  bool checkExports = false, checkImports = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "pecheck: " << arg << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--machine")
      machine = value();
    else if (arg == "--max-size")
      maxSize = std::stoll(value());
    else if (arg == "--imports")
      imports = value(), checkImports = true;
    else if (arg == "--exports")
      exports = value(), checkExports = true;
    else if (arg == "--shared-section")
      sharedSection = value();
    else
      file = arg;
  }
  if (file.empty()) {
    std::cerr << "usage: pecheck [options] FILE\n";
    return 2;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "pecheck: cannot open " << file << "\n";
    return 1;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  quell::tools::PeImage image;
  try {
    image = quell::tools::ParsePe(bytes);
  } catch (const std::exception& e) {
    std::cerr << "pecheck: " << file << ": " << e.what() << "\n";
    return 1;
  }

  std::cout << file << ": " << image.fileSize << " bytes, machine 0x" << std::hex << image.machine
            << std::dec << (image.pe32Plus ? " PE32+" : " PE32") << "\n  imports:";
  for (const auto& s : image.imports) std::cout << ' ' << s;
  std::cout << "\n  exports:";
  for (const auto& s : image.exports) std::cout << ' ' << s;
  std::cout << "\n  sections:";
  for (const auto& s : image.sections) {
    std::cout << ' ' << s.name << (s.Shared() ? "(shared" : "(")
              << (s.Writable() ? ",writable)" : ")");
  }
  std::cout << "\n";

  int failures = 0;
  auto fail = [&](const std::string& what) {
    std::cout << "  FAIL: " << what << "\n";
    ++failures;
  };
  if (machine == "i386" && (image.machine != 0x14C || image.pe32Plus))
    fail("not an i386 PE32 image");
  if (machine == "amd64" && (image.machine != 0x8664 || !image.pe32Plus))
    fail("not an amd64 PE32+ image");
  if (maxSize >= 0 && static_cast<long long>(image.fileSize) > maxSize) {
    fail("larger than " + std::to_string(maxSize) + " bytes");
  }
  if (checkImports) {
    const auto allowed = SplitList(imports, true);
    for (const auto& dll : image.imports) {
      if (!allowed.count(Fold(dll))) fail("imports " + dll);
    }
  }
  if (checkExports) {
    const auto wanted = SplitList(exports, false);
    const std::set<std::string> found(image.exports.begin(), image.exports.end());
    if (found != wanted || found.size() != image.exports.size())
      fail("exports differ from the expected set");
  }
  if (!sharedSection.empty()) {
    const auto it = std::find_if(image.sections.begin(), image.sections.end(),
                                 [&](const auto& s) { return s.name == sharedSection; });
    if (it == image.sections.end()) {
      fail("no section " + sharedSection);
    } else if (!it->Shared() || !it->Writable()) {
      fail("section " + sharedSection + " is not shared and writable");
    }
  }
  std::cout << (failures ? "  checks failed\n" : "  all checks hold\n");
  return failures ? 1 : 0;
}
