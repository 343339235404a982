// orrel: the application's executable in tool mode. It puts the mode word
// "-cmdline" in front of the user's arguments, so they are read from index 2.

#include <vector>

#include "app/OrrelinMain.h"

int main(int argc, char** argv) {
  static char modeWord[] = "-cmdline";
  std::vector<char*> arguments;
  arguments.reserve(static_cast<std::size_t>(argc) + 2);
  arguments.push_back(argv[0]);
  arguments.push_back(modeWord);
  for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
  arguments.push_back(nullptr);
  return orrelin::orrelinMain(argc + 1, arguments.data());
}
