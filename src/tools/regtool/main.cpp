#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/regtool/RegTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  const int status = regtool::Run(words, std::cout, std::cerr,
                                  regtool::Terminal{std::cin, std::cerr, ::isatty(0) == 1});
  std::cout.flush();
  return std::cout.fail() && status == 0 ? 1 : status;
}
