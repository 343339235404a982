#include "PropertyListSerialization.h"

#include "platform/BinaryPropertyList.h"
#include "platform/BinaryPropertyListWriter.h"

#include <plist/plist.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace orrelin {

namespace {

struct NodeDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// The library keeps every integer in 64 bits with a hidden width that decides
// whether values above INT64_MAX are written signed or unsigned, and its only
// way to make an unsigned one is to parse it.
plist_t newUnsignedNode(std::uint64_t value) {
  if (value <= static_cast<std::uint64_t>(INT64_MAX)) return plist_new_uint(value);
  std::string text = "<plist version=\"1.0\"><integer>" + std::to_string(value) +
                     "</integer></plist>";
  plist_t node = nullptr;
  plist_from_xml(text.data(), static_cast<std::uint32_t>(text.size()), &node);
  return node ? node : plist_new_uint(value);
}

bool integerNodeIsUnsigned(plist_t node, std::uint64_t value) {
  if (value <= static_cast<std::uint64_t>(INT64_MAX)) return false;
  // Above INT64_MAX the bits are either a negative signed value or a large
  // unsigned one; the XML form tells which.
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_t copy = plist_copy(node);
  plist_to_xml(copy, &xml, &length);
  plist_free(copy);
  bool isUnsigned = xml && !std::strstr(xml, "<integer>-");
  std::free(xml);
  return isUnsigned;
}

// The library's tree, for its XML writer. Text is kept as given, even bytes
// that are not UTF-8.
plist_t toNode(const PropertyList& value) {
  switch (value.kind()) {
    case PropertyList::Kind::Dictionary: {
      plist_t dict = plist_new_dict();
      for (const auto& [key, item] : value.dictionary()) plist_dict_set_item(dict, key.c_str(), toNode(item));
      return dict;
    }
    case PropertyList::Kind::Array: {
      plist_t array = plist_new_array();
      for (const auto& item : value.array()) plist_array_append_item(array, toNode(item));
      return array;
    }
    case PropertyList::Kind::String: return plist_new_string(value.string().c_str());
    case PropertyList::Kind::Integer:
      if (value.isUnsignedInteger()) return newUnsignedNode(value.unsignedInteger());
      return plist_new_uint(static_cast<std::uint64_t>(value.integer()));
    case PropertyList::Kind::Real: return plist_new_real(value.real());
    case PropertyList::Kind::Boolean: return plist_new_bool(value.boolean() ? 1 : 0);
    case PropertyList::Kind::Date: {
      double since2001 = value.date().secondsSince2001();
      if (!std::isfinite(since2001)) since2001 = 0;
      double whole = std::floor(since2001);
      auto microseconds = static_cast<std::int32_t>(std::llround((since2001 - whole) * 1e6));
      if (microseconds >= 1000000) {
        whole += 1;
        microseconds -= 1000000;
      }
      whole = std::fmax(std::fmin(whole, INT32_MAX), INT32_MIN);
      return plist_new_date(static_cast<std::int32_t>(whole), microseconds);
    }
    case PropertyList::Kind::Data: {
      const auto& bytes = value.data();
      return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
  }
  return plist_new_dict();
}

std::optional<PropertyList> fromNode(plist_t node, int depth, std::string* error) {
  if (depth > kMaximumPropertyListDepth) {
    if (error) *error = "The property list is nested too deeply.";
    return std::nullopt;
  }
  switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
      PlistDictionary dict;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) {
          std::free(key);
          break;
        }
        auto converted = fromNode(item, depth + 1, error);
        if (!converted) {
          std::free(key);
          std::free(it);
          return std::nullopt;
        }
        dict.insert_or_assign(key ? std::string(key) : std::string(), std::move(*converted));
        std::free(key);
      }
      std::free(it);
      return PropertyList(std::move(dict));
    }
    case PLIST_ARRAY: {
      PlistArray array;
      std::uint32_t count = plist_array_get_size(node);
      array.reserve(count);
      for (std::uint32_t i = 0; i < count; ++i) {
        auto converted = fromNode(plist_array_get_item(node, i), depth + 1, error);
        if (!converted) return std::nullopt;
        array.push_back(std::move(*converted));
      }
      return PropertyList(std::move(array));
    }
    case PLIST_STRING: {
      // The length-taking accessor: the plain one asserts on embedded NULs.
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return PropertyList(text ? std::string(text, length) : std::string());
    }
    case PLIST_UINT: {
      std::uint64_t bits = 0;
      plist_get_uint_val(node, &bits);
      if (integerNodeIsUnsigned(node, bits)) return PropertyList(bits);
      return PropertyList(static_cast<std::int64_t>(bits));
    }
    case PLIST_UID: {
      std::uint64_t bits = 0;
      plist_get_uid_val(node, &bits);
      return PropertyList(bits);
    }
    case PLIST_REAL: {
      double v = 0;
      plist_get_real_val(node, &v);
      return PropertyList(v);
    }
    case PLIST_BOOLEAN: {
      std::uint8_t v = 0;
      plist_get_bool_val(node, &v);
      return PropertyList(v != 0);
    }
    case PLIST_DATE: {
      std::int32_t seconds = 0, microseconds = 0;
      plist_get_date_val(node, &seconds, &microseconds);
      return PropertyList(PlistDate::sinceYear2001(seconds + microseconds / 1e6));
    }
    case PLIST_DATA: {
      char* bytes = nullptr;
      std::uint64_t length = 0;
      plist_get_data_val(node, &bytes, &length);
      PlistData data(reinterpret_cast<std::uint8_t*>(bytes),
                     reinterpret_cast<std::uint8_t*>(bytes) + (bytes ? length : 0));
      std::free(bytes);
      return PropertyList(std::move(data));
    }
    default:
      if (error) *error = "The property list holds a value of an unknown kind.";
      return std::nullopt;
  }
}

}  // namespace

std::optional<PropertyList> parsePropertyList(std::string_view bytes, std::string* error) {
  if (bytes.empty()) {
    if (error) *error = "The file is empty.";
    return std::nullopt;
  }
  if (bytes.size() > UINT32_MAX) {
    if (error) *error = "The property list is too large.";
    return std::nullopt;
  }
  if (bytes.substr(0, 6) == "bplist") {
    // Our own reader: the library's asserts on odd keys would end the process.
    auto list = BinaryPropertyList::open(bytes);
    if (!list) {
      if (error) *error = "The file is not a property list.";
      return std::nullopt;
    }
    return list->toPropertyList(error);
  }
  // The XML reader wants to find the end of the text itself; give it a
  // terminated copy so it never reads past the buffer.
  std::string text(bytes);
  if (text.find("<plist") == std::string::npos) {
    if (error) *error = "The file is not a property list.";
    return std::nullopt;
  }
  plist_t raw = nullptr;
  plist_from_xml(text.c_str(), static_cast<std::uint32_t>(bytes.size()), &raw);
  Node node(raw);
  if (!node) {
    if (error) *error = "The file is not a property list.";
    return std::nullopt;
  }
  return fromNode(node.get(), 0, error);
}

std::string serializePropertyList(const PropertyList& value, PlistFormat format) {
  // Our own binary writer: the library's takes time that grows with the
  // square of the number of objects.
  if (format == PlistFormat::Binary) return writeBinaryPropertyList(value);
  Node node(toNode(value));
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(node.get(), &bytes, &length);
  std::string result(bytes ? bytes : "", bytes ? length : 0);
  std::free(bytes);
  return result;
}

std::optional<PropertyList> readPropertyListFile(const std::string& path, std::string* error) {
  std::string contents;
  if (!readFile(path, contents, error)) return std::nullopt;
  return parsePropertyList(contents, error);
}

bool writePropertyListFile(const PropertyList& value, const std::string& path, PlistFormat format,
                           WriteMode mode, std::string* error) {
  std::string bytes = serializePropertyList(value, format);
  return writeFile(path,
                   std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                 bytes.size()),
                   mode, error);
}

}  // namespace orrelin
