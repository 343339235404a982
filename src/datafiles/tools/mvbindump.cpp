// mvbindump: shows what a binary data file holds.
//
//   mvbindump FILE            one line per variable: "name: description"
//   mvbindump FILE NAME...    the values of each variable, one per line in
//                             storage order; a string as its text
//
// Messages go to standard error. Exit status 0 when everything asked for was
// shown, 1 when the file could not be opened, a name is unknown or a value
// could not be read, 2 for a wrong command line.

#include <cstdio>
#include <string>

#include "datafiles/KRDataFile.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

using namespace orrelin;

namespace {

void deliverMessages() {
  MainThreadQueue::shared().drain();
  KRMessageCenter::sharedCenter()->updateShownMessages();
}

bool printVariable(KRDataFile& file, const std::string& name) {
  auto info = file.entryInfo(name);
  if (!info) {
    std::fprintf(stderr, "mvbindump: There is no variable \"%s\" in the file \"%s\".\n", name.c_str(),
                 file.fileName().c_str());
    return false;
  }
  if (info->isAString) {
    auto text = file.readRawString(name);
    if (!text) return false;
    std::fwrite(text->data(), 1, text->size(), stdout);
    std::fputc('\n', stdout);
    return true;
  }
  auto values = file.readValues<double>(name);
  if (!values) return false;
  for (double value : *values) std::printf("%.17g\n", value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: mvbindump FILE [NAME...]\n");
    return 2;
  }
  auto file = KRDataFile::openFileName(argv[1]);
  if (!file) {
    deliverMessages();
    return 1;
  }
  bool ok = true;
  if (argc == 2) {
    for (const auto& name : file->variablesNames()) {
      auto info = file->entryInfo(name);
      if (!info) continue;
      std::printf("%s: %s\n", name.c_str(),
                  binaryformat::descriptionText(info->kind, info->isAString, info->m, info->n, info->o).c_str());
    }
  } else {
    for (int i = 2; i < argc; ++i) ok = printVariable(*file, argv[i]) && ok;
  }
  std::fflush(stdout);
  deliverMessages();
  return ok ? 0 : 1;
}
