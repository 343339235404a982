// Writing a document package, and saving so that the package at the
// destination is always whole.

#include <sys/stat.h>

#include <filesystem>
#include <span>

#include "document/BinaryConverterSource.h"
#include "document/DocumentTexts.h"
#include "document/GraphEnvelope.h"
#include "document/OrrelinDocument.h"
#include "document/PackageFiles.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/writers/ImageEncoding.h"
#include "platform/FileWriting.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"
#include "table/TableMessages.h"

#ifndef ORREL_BUILD_NUMBER
#define ORREL_BUILD_NUMBER 0
#endif

namespace orrelin {

namespace fs = std::filesystem;
namespace text = document_text;

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string stringAt(const PlistDictionary& info, const char* key) {
  const auto found = info.find(key);
  return found != info.end() && found->second.isString() ? found->second.string() : std::string();
}

void noteCreated(PlistDictionary& info, const char* folder) {
  auto& created = info[table_text::kCreatedDictionaries];
  if (!created.isArray()) created = PlistArray{};
  created.array().push_back(std::string(folder));
}

bool wasCreated(const PlistDictionary& info, const char* folder) {
  const auto found = info.find(table_text::kCreatedDictionaries);
  if (found == info.end() || !found->second.isArray()) return false;
  for (const auto& name : found->second.array())
    if (name.isString() && name.string() == folder) return true;
  return false;
}

bool isDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// Writes a small file of the package, or links the same file of the package
// being replaced when it holds exactly these bytes: an unchanged save then
// writes (and waits for the disk on) nothing but what changed.
bool writeOrLinkUnchanged(const std::string& package, const std::string& name, std::string_view bytes,
                          const PlistDictionary& info) {
  const std::string target = package + "/" + name;
  const std::string original = stringAt(info, table_text::kOriginalURL);
  if (!original.empty() && original != package) {
    const std::string previous = original + "/" + name;
    std::error_code error;
    std::string old;
    if (fs::file_size(previous, error) == bytes.size() && !error && readFile(previous, old) && old == bytes &&
        linkOrCopyFile(previous, target))
      return true;
  }
  return writeFile(target, bytesOf(bytes), WriteMode::Atomic);
}

// The digest the package being replaced recorded for its column data, ""
// when it has none (no package, no checksums, not a dictionary).
std::string previousColumnsDigest(const std::string& original) {
  if (original.empty()) return {};
  const auto checksums = readPropertyListFile(original + "/" + text::kChecksumsFile);
  if (!checksums || !checksums->isDictionary()) return {};
  return checksums->stringForKey(text::kChecksumKey).value_or("");
}

// Step 7 and 8 of a save: "Columns.plist" and its digest.
void writeColumnData(const PlistArray& columnData, const std::string& package, const PlistDictionary& info,
                     PlistDictionary& checksums) {
  const std::string target = package + "/" + text::kColumnsFile;
  const std::string bytes = serializePropertyList(PropertyList(columnData), PlistFormat::Binary);
  if (bytes.empty()) {
    KRMessageCenter::addMessage(text::kColumnsFallback);
    writePropertyListFile(PropertyList(columnData), target, PlistFormat::XML, WriteMode::Atomic);
  } else {
    const std::string digest = sha256Hex(bytes);
    if (!digest.empty()) checksums[text::kChecksumKey] = digest;
    const std::string original = stringAt(info, table_text::kOriginalURL);
    bool reused = false;
    if (!digest.empty() && previousColumnsDigest(original) == digest) {
      // The recorded digest is only a hint; a file of another length cannot
      // hold these bytes.
      const std::string previous = original + "/" + text::kColumnsFile;
      std::error_code error;
      if (fs::equivalent(previous, target, error))
        reused = true;
      else if (fs::file_size(previous, error) == bytes.size() && !error)
        reused = linkOrCopyFile(previous, target);
    }
    if (!reused) writeFile(target, bytesOf(bytes), WriteMode::Atomic);
    std::error_code error;
    if (!fs::exists(target, error)) {
      KRMessageCenter::addMessage(text::kProblemAverted);
      writeFile(target, bytesOf(bytes), WriteMode::Atomic);
      if (!fs::exists(target, error)) KRMessageCenter::addMessage(text::kSeriousProblem);
    }
  }
}

// Version control folders of the package being replaced travel with it.
void copyVersionControlFolders(const PlistDictionary& info, const std::string& package) {
  const std::string original = stringAt(info, table_text::kOriginalURL);
  if (original.empty() || original == package || !isDirectory(original + "/" + text::kSvnFolder)) return;
  copyFolder(original + "/" + text::kSvnFolder, package + "/" + text::kSvnFolder);
  const auto created = info.find(table_text::kCreatedDictionaries);
  if (created == info.end() || !created->second.isArray()) return;
  for (const auto& folder : created->second.array()) {
    if (!folder.isString()) continue;
    const std::string from = original + "/" + folder.string() + "/" + text::kSvnFolder;
    if (isDirectory(from)) copyFolder(from, package + "/" + folder.string() + "/" + text::kSvnFolder);
  }
}

}  // namespace

PlistDictionary OrrelinDocument::contentDictionary(PlistArray& columnData, PlistDictionary& info) {
  PlistDictionary content;
  auto [descriptions, data] = table().columnDescription(info);
  content[text::kColumns] = std::move(descriptions);
  columnData = std::move(data);
  content[text::kParameters] = definitions().propertyList();
  if (cachedMergeLists_) content[text::kCachedMergeLists] = *cachedMergeLists_;
  if (largeCommandArea_) content[text::kLargeCommandArea] = true;
  addGraphEnvelope(content, storedGraphs(), currentGraph_);
  content[text::kDrawingSize] = textualSize(drawingSize_);
  content[text::kWindowSize] = textualSize(windowSize_);
  content[text::kOrrelinVersion] = std::int64_t(ORREL_BUILD_NUMBER);
  content[text::kQuickTimeSettings] = quickTimeSettings_;
  return content;
}

bool OrrelinDocument::writeToURL(const std::string& path, PlistDictionary& info) {
  if (path.empty() || path.find("://") != std::string::npos) return false;
  std::error_code error;
  if (fs::exists(fs::symlink_status(path, error))) {
    if (!isDirectory(path)) return false;
  } else if (!fs::create_directory(path, error)) {
    return false;
  }
  info[table_text::kWrapper] = path;
  if (!info.count(table_text::kCreatedDictionaries)) info[table_text::kCreatedDictionaries] = PlistArray{};

  const std::string contents = path + "/" + text::kContentsFolder;
  if (!isDirectory(contents) && fs::create_directory(contents, error)) noteCreated(info, text::kContentsFolder);
  writeOrLinkUnchanged(path, std::string(text::kContentsFolder) + "/" + text::kPkgInfo, text::kPkgInfoBytes, info);

  PlistArray columnData;
  const PlistDictionary content = contentDictionary(columnData, info);

  PlistDictionary checksums;
  writeColumnData(columnData, path, info, checksums);

  const std::string contentPath = path + "/" + text::kContentFile;
  const std::string contentBytes = serializePropertyList(PropertyList(content), PlistFormat::Binary);
  const bool contentWritten =
      contentBytes.empty()
          ? writePropertyListFile(PropertyList(content), contentPath, PlistFormat::XML, WriteMode::Atomic)
          : writeOrLinkUnchanged(path, text::kContentFile, contentBytes, info);
  if (!contentWritten) return false;

  writeOrLinkUnchanged(path, text::kChecksumsFile, serializePropertyList(PropertyList(checksums), PlistFormat::XML),
                       info);

  // A folder of binary data files made by this save carries the source of a
  // reader for them.
  if (wasCreated(info, table_text::kBinaryFolder))
    writeOrLinkUnchanged(path, std::string(table_text::kBinaryFolder) + "/" + text::kConverterFile,
                         binaryConverterSource(), info);

  try {
    saveExtraInformation(info);
  } catch (const std::exception& exception) {
    presentException(exception, text::kErrorWhenSaving);
  }

  copyVersionControlFolders(info, path);
  return true;
}

double previewScale(KRSize size) {
  if (size.width > 800 || size.height > 600) return std::min(800 / size.width, 600 / size.height);
  return 1;
}

void OrrelinDocument::saveExtraInformation(PlistDictionary& info) {
  const std::string package = stringAt(info, table_text::kWrapper);
  const KRSize size = drawingSize_;
  auto graph = std::dynamic_pointer_cast<DataDocumentDrawing>(currentGraph());
  if (!graph || !(size.width > 0) || !(size.height > 0)) return;
  // A graph with nothing to show (no ranges yet) has no preview.
  auto graphic = graph->createGraphic(size, 1, false, PlistDictionary{}, KRRect(0, 0, size.width, size.height));
  if (!graphic) return;
  const std::string folder = package + "/" + text::kQuickLookFolder;
  std::error_code error;
  if (!isDirectory(folder)) {
    if (!fs::create_directory(folder, error)) return;
    noteCreated(info, text::kQuickLookFolder);
  }
  // White behind the drawing, as the page shows it.
  KRRenderOptions options;
  options.scale = previewScale(size);
  options.smoothing = true;
  options.background = KRColor::rgb(1, 1, 1);
  auto image = renderToImage(*graphic, {0, 0, size.width, size.height}, options);
  if (!image) return;
  const std::vector<std::uint8_t> png = image_encoding::encodePNG(*image, 72 * options.scale, false);
  if (png.empty()) return;
  writeFile(folder + "/" + text::kPreviewFile, png, WriteMode::Atomic);
  writeFile(folder + "/" + text::kThumbnailFile, png, WriteMode::Atomic);
}

bool OrrelinDocument::redirectWriteToURL(const std::string& destination, const std::string& originalPath,
                                         std::string* error) {
  // A package named with a trailing slash is the same package.
  std::string path = destination;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto fail = [error](const std::string& reason) {
    if (error) *error = text::kCouldNotSave;
    if (!reason.empty()) KRMessageCenter::addMessage(text::kCouldNotSave, reason);
    return false;
  };
  if (path.empty() || path.find("://") != std::string::npos) return fail("");
  struct stat status;
  if (::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) return fail(path + " is not a folder");

  // The new package is written beside the destination and put in its
  // place whole.
  const std::string work = siblingWorkPath(path, "saving");
  if (work.empty()) return fail("no room beside " + path);
  PlistDictionary info;
  info[table_text::kWrapper] = work;
  info[table_text::kCreatedDictionaries] = PlistArray{};
  if (!originalPath.empty() && isDirectory(originalPath)) info[table_text::kOriginalURL] = originalPath;

  bool written = false;
  try {
    written = writeToURL(work, info);
  } catch (const std::exception& exception) {
    KRMessageCenter::addMessage(text::kErrorWhenSaving, std::string(typeid(exception).name()) + " : " +
                                                            exception.what());
  }
  std::error_code ignored;
  if (!written) {
    fs::remove_all(work, ignored);
    return fail("");
  }
  std::string previous, reason;
  if (!swapIntoPlace(work, path, previous, &reason)) {
    fs::remove_all(work, ignored);
    return fail(reason);
  }
  if (!previous.empty()) fs::remove_all(previous, ignored);
  removeAbandonedWork(path);
  return true;
}

bool OrrelinDocument::saveToURL(const std::string& path, std::string* error) {
  if (!redirectWriteToURL(path, fileName_, error)) return false;
  fileName_ = path;
  return true;
}

bool OrrelinDocument::writeToURL(const std::string& path, std::string* error) {
  return redirectWriteToURL(path, fileName_, error);
}

}  // namespace orrelin
