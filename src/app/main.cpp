#include <string>
#include <vector>

#include "app/helper_main.h"

#ifdef _WIN32
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> arguments;
  for (int index = 0; index < argc; ++index) {
    arguments.emplace_back(argv[index], argv[index] + std::wcslen(argv[index]));
  }
  return zq::helperMain(arguments);
}
#else
#include "text/utf8.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int index = 0; index < argc; ++index) {
    arguments.push_back(zq::decodeUtf8(argv[index]));
  }
  return zq::helperMain(arguments);
}
#endif
