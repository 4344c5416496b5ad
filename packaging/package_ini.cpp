// Writes the installer package's package.ini from the plugin's identity constants.
//   package_ini OUTPUT PLATFORM...
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "plugin/identity.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT PLATFORM...\n", argv[0]);
    return 2;
  }
  // The description goes in double quotes: it must not hold one itself.
  if (std::strchr(pluginDescription, '"') != nullptr) {
    std::fprintf(stderr, "the description holds a double quote\n");
    return 1;
  }
  std::string platforms;
  for (int i = 2; i < argc; ++i) platforms += (i > 2 ? ", " : "") + std::string(argv[i]);

  std::ofstream out(argv[1], std::ios::binary);
  out << "Name = " << pluginName << "\n"
      << "Type = Plugin\n"
      << "Author = " << pluginAuthor << "\n"
      << "Version = " << pluginVersion << "\n"
      << "Platforms = " << platforms << "\n"
      << "Description = \"" << pluginDescription << "\"\n";
  out.close();
  return out ? 0 : 1;
}
