#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/translation/Languages.h"
#include "platform/translation/Translations.h"
#include "tools/vssdb/Commands.h"

int main(int argc, char** argv) {
  // Messages and help in the language of the environment; what scripts read stays as it is.
  const translation::Translations translations(translation::MessageLanguages());
  const std::vector<std::string> words(argv + 1, argv + argc);
  vssdb::Console console{std::cin, std::cout, std::cerr,
                         isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1};
  const int status = vssdb::Run(words, console);
  std::cout.flush();
  return std::cout.fail() && status == 0 ? 1 : status;
}
