// Loads the plugin library taken out of the installer package and checks that package.ini
// says what the library's identity exports say.
//   package_check PACKAGE.INI LIBRARY PLATFORM...
#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {
int failures;

void expect(const std::string& key, const std::string& actual, const std::string& expected) {
  if (actual == expected) return;
  ++failures;
  std::fprintf(stderr, "package.ini %s is [%s], expected [%s]\n", key.c_str(), actual.c_str(),
               expected.c_str());
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s PACKAGE.INI LIBRARY PLATFORM...\n", argv[0]);
    return 2;
  }
  std::ifstream ini(argv[1], std::ios::binary);
  std::map<std::string, std::string> values;
  std::string line;
  while (std::getline(ini, line)) {
    const auto equals = line.find(" = ");
    if (equals == std::string::npos ||
        !values.emplace(line.substr(0, equals), line.substr(equals + 3)).second) {
      std::fprintf(stderr, "package.ini: bad or repeated line [%s]\n", line.c_str());
      return 1;
    }
  }

  void* library = dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  const auto text = [&](const char* name) -> std::string {
    auto function = reinterpret_cast<const char* (*)()>(dlsym(library, name));
    if (function == nullptr) {
      ++failures;
      std::fprintf(stderr, "the library lacks %s\n", name);
      return {};
    }
    return function();
  };

  std::string platforms;
  for (int i = 3; i < argc; ++i) platforms += (i > 3 ? ", " : "") + std::string(argv[i]);
  expect("Name", values["Name"], text("ts3plugin_name"));
  expect("Type", values["Type"], "Plugin");
  expect("Author", values["Author"], text("ts3plugin_author"));
  expect("Version", values["Version"], text("ts3plugin_version"));
  expect("Platforms", values["Platforms"], platforms);
  expect("Description", values["Description"], "\"" + text("ts3plugin_description") + "\"");
  if (values.size() != 6) {
    ++failures;
    std::fprintf(stderr, "package.ini holds %zu keys, expected 6\n", values.size());
  }
  dlclose(library);
  if (failures == 0) std::printf("package.ini agrees with the library's identity\n");
  return failures == 0 ? 0 : 1;
}
