#pragma once
// A data file: named numeric arrays and strings kept in a file, read when
// asked for. The binary data file is the one kind that is read and written
// here; the others (text, MATLAB, netCDF) come in as further subclasses.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "datafiles/BinaryFormat.h"
#include "datafiles/KRDataFileProgress.h"
#include "numeric/KRCharacterArrayContainer.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"
#include "numeric/KRIntArrayContainer.h"
#include "numeric/KRShortArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "numeric/KRUShortArrayContainer.h"
#include "platform/PropertyList.h"

namespace orrelin {

// What a variable holds, without its values.
struct KRDataFileEntryInfo {
  KRDataFileKind kind = KRDataFileKind::Double;
  bool isAString = false;
  std::int32_t m = 0;
  std::int32_t n = 0;
  std::int32_t o = 0;

  std::uint64_t length() const {
    return static_cast<std::uint64_t>(m) * static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(o);
  }
};

// The element type that stands for each C++ element type.
template <typename T>
constexpr KRDataFileKind kindOf();
template <> constexpr KRDataFileKind kindOf<double>() { return KRDataFileKind::Double; }
template <> constexpr KRDataFileKind kindOf<float>() { return KRDataFileKind::Float; }
template <> constexpr KRDataFileKind kindOf<std::int32_t>() { return KRDataFileKind::Int; }
template <> constexpr KRDataFileKind kindOf<std::int16_t>() { return KRDataFileKind::Short; }
template <> constexpr KRDataFileKind kindOf<std::uint16_t>() { return KRDataFileKind::UShort; }
template <> constexpr KRDataFileKind kindOf<std::int8_t>() { return KRDataFileKind::Char; }
template <> constexpr KRDataFileKind kindOf<std::uint8_t>() { return KRDataFileKind::UChar; }

class KRDataFile {
 public:
  virtual ~KRDataFile() = default;

  // Opens an existing file with the reader its ending asks for; a file with
  // another ending is opened when it starts with a binary data file's magic.
  // Nothing (with a message) when it cannot be read.
  static std::shared_ptr<KRDataFile> openFileName(const std::string& path, KRDataFileProgress* progress = nullptr);
  // The same for a name inside a folder (a document package, say); an
  // absolute name is taken as it is.
  static std::shared_ptr<KRDataFile> openFileName(const std::string& name, const std::string& fileContainer,
                                                  KRDataFileProgress* progress);
  // A binary data file to write into. Until closeFile() the data goes to a
  // temporary file beside the target, so a failure leaves an old file of the
  // same name as it was.
  static std::shared_ptr<KRDataFile> openNewFileWithName(const std::string& path);
  // Rebuilds a data file from what structure() gave, without reading the file.
  static std::shared_ptr<KRDataFile> createFromStructure(const PropertyList& structure);

  // "MVBinary" for the binary data file.
  virtual std::string dataFileType() const = 0;
  virtual std::string fileName() const = 0;

  // Queries.
  virtual std::vector<std::string> variablesNames() const = 0;  // in the order of the file
  std::vector<std::string> variablesWithPrefix(const std::string& prefix) const;
  virtual std::optional<KRDataFileEntryInfo> entryInfo(const std::string& name) const = 0;
  bool contains(const std::string& name) const { return entryInfo(name).has_value(); }
  // A null name is a caller's mistake and says so.
  bool contains(const char* name) const;
  bool isANumber(const std::string& name) const;
  bool isAString(const std::string& name) const;
  bool isADoubleArray(const std::string& name) const;
  bool isAFloatArray(const std::string& name) const;
  bool isAnIntArray(const std::string& name) const;
  bool savedAsFloat(const std::string& name) const { return isAFloatArray(name); }
  bool getSizeOfVariable(const std::string& name, std::int32_t& m, std::int32_t& n, std::int32_t& o) const;
  virtual std::optional<std::uint64_t> locationOfDataFor(const std::string& name) const = 0;
  virtual std::uint64_t fileSizeInBytes() const = 0;
  // Variable name -> entry dictionary.
  virtual PropertyList theContent() const = 0;
  // {"Type", "Content", "File", "Length", "Swap"}; createFromStructure reads it.
  virtual PropertyList structure() const = 0;

  // Reading. The destination is asked, once the shape is known, for room for
  // m·n·o elements of resultKind; it may give null to stop. False when the
  // name is unknown, names a string, or the values could not be read.
  using Destination = std::function<void*(const KRDataFileEntryInfo& shape)>;
  virtual bool readVariable(const std::string& name, KRDataFileKind resultKind, const Destination& destination) = 0;
  template <typename T>
  std::optional<std::vector<T>> readValues(const std::string& name);
  virtual std::optional<std::string> readRawString(const std::string& name) = 0;
  virtual std::optional<double> readNumber(const std::string& name) = 0;

  // A variable as an array of the asked-for type, converted from the type it
  // was saved as; null when the name is unknown, names a string, or the
  // array cannot be made or read (each with its message).
  std::shared_ptr<KRDoubleArrayContainer> readDoubleArray(const std::string& name);
  std::shared_ptr<KRFloatArrayContainer> readFloatArray(const std::string& name);
  std::shared_ptr<KRIntArrayContainer> readIntArray(const std::string& name);
  std::shared_ptr<KRShortArrayContainer> readShortArray(const std::string& name);
  std::shared_ptr<KRUShortArrayContainer> readUShortArray(const std::string& name);
  std::shared_ptr<KRCharacterArrayContainer> readCharacterArray(const std::string& name);
  std::shared_ptr<KRUCharArrayContainer> readUCharArray(const std::string& name);

  // Writing: each appends one variable and says whether it did.
  virtual bool writeEntryWithName(const std::string& name, const void* bytes, std::int32_t typeCode, std::int32_t m,
                                  std::int32_t n, std::int32_t o);
  template <typename T>
  bool writeArray(const std::string& name, const T* values, std::int32_t m, std::int32_t n, std::int32_t o) {
    return writeEntryWithName(name, values, binaryformat::typeCodeFor(kindOf<T>(), false), m, n, o);
  }
  bool writeString(const std::string& text, const std::string& name);
  // The array with its shape, in its own element type; a container that
  // holds nothing is written as an empty array.
  bool writeDoubleArray(const KRDoubleArrayContainer& array, const std::string& name);
  bool writeFloatArray(const KRFloatArrayContainer& array, const std::string& name);
  bool writeIntArray(const KRIntArrayContainer& array, const std::string& name);
  bool writeShortArray(const KRShortArrayContainer& array, const std::string& name);
  bool writeUShortArray(const KRUShortArrayContainer& array, const std::string& name);
  bool writeCharacterArray(const KRCharacterArrayContainer& array, const std::string& name);
  bool writeUCharArray(const KRUCharArrayContainer& array, const std::string& name);

  // Looks at the file on disk again: -1 when it was replaced, cut short or
  // can no longer be opened, 1 when variables were added to it, else 0.
  virtual int updateFile(KRDataFileProgress* progress = nullptr) = 0;
  virtual bool generateIndexFile() { return false; }
  virtual bool removeIndexFile() { return false; }
  virtual std::string nameOfIndexFile() const { return ""; }
  virtual bool flush() { return true; }
  virtual void closeFile() {}
  // Only an empty list succeeds: variables are never taken out of a file in
  // place. Copy the ones to keep into a new file instead.
  virtual bool removeVariables(const std::vector<std::string>& names, KRDataFileProgress* progress);
  // Writes every variable, in file order, into destination, except those
  // named in leaveOut. False when one of them could not be copied.
  bool copyInto(KRDataFile& destination, KRDataFileProgress* progress,
                const std::set<std::string>& leaveOut = {});

 private:
  template <class Container>
  std::shared_ptr<Container> readContainer(const std::string& name);
  template <class Container>
  bool writeContainer(const Container& array, const std::string& name);
};

template <typename T>
std::optional<std::vector<T>> KRDataFile::readValues(const std::string& name) {
  std::vector<T> values;
  bool ok = readVariable(name, kindOf<T>(), [&](const KRDataFileEntryInfo& shape) -> void* {
    values.resize(static_cast<std::size_t>(shape.length()));
    return values.data();
  });
  if (!ok) return std::nullopt;
  return values;
}

}  // namespace orrelin
