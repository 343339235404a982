// Opens the package named by the first argument, sets every entry of its
// column "x" to the second argument and saves the document over the package.
// The interrupted-save test kills it at random moments.

#include <cstdio>
#include <string>
#include <vector>

#include "document/OrrelinDocument.h"

using namespace orrelin;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s package value\n", argv[0]);
    return 2;
  }
  auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
  if (!document->redirectReadFromURL(argv[1], "Orrelin Document")) return 3;
  auto x = document->table().columnAtIndex(1);
  x->setStringList(std::vector<std::string>(std::size_t(x->howManyEntries()), argv[2]));
  return document->saveToURL(argv[1]) ? 0 : 4;
}
