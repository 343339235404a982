#pragma once
// Shared by the data-file tests: a folder and a message centre of their own,
// and a builder that lays out data files byte by byte in either byte order,
// independently of the writer under test.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "support/TemporaryFolder.h"

namespace orrelin::testing_support {

// Bytes of a data file in a chosen byte order.
class FileBuilder {
 public:
  explicit FileBuilder(bool bigEndian) : bigEndian_(bigEndian) {}

  FileBuilder& magic(const std::string& text23) {
    bytes_.insert(bytes_.end(), text23.begin(), text23.end());
    bytes_.push_back(0);
    return *this;
  }
  FileBuilder& i64(std::int64_t v) { return put(static_cast<std::uint64_t>(v), 8); }
  FileBuilder& i32(std::int32_t v) { return put(static_cast<std::uint32_t>(v), 4); }
  FileBuilder& u16(std::uint16_t v) { return put(v, 2); }
  FileBuilder& u8(std::uint8_t v) { return put(v, 1); }
  FileBuilder& f64(double v) { return put(std::bit_cast<std::uint64_t>(v), 8); }
  FileBuilder& f32(float v) { return put(std::bit_cast<std::uint32_t>(v), 4); }
  FileBuilder& text(const std::string& t) {
    bytes_.insert(bytes_.end(), t.begin(), t.end());
    return *this;
  }
  // A header whose length field matches the name and the data bytes.
  FileBuilder& header(std::int32_t typeCode, std::int32_t m, std::int32_t n, std::int32_t o, const std::string& name,
                      std::int64_t dataBytes) {
    i64(28 + static_cast<std::int64_t>(name.size()) + 1 + dataBytes);
    i32(typeCode).i32(m).i32(n).i32(o).i32(static_cast<std::int32_t>(name.size() + 1));
    text(name);
    return u8(0);
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

  void writeTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  }

 private:
  FileBuilder& put(std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = bigEndian_ ? 8 * (size - 1 - i) : 8 * i;
      bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    return *this;
  }

  bool bigEndian_;
  std::vector<std::uint8_t> bytes_;
};

inline std::vector<std::uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void appendBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A folder and a message centre per test; messages() drains what was posted.
class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadQueue::shared().drain();
    center_ = std::make_shared<KRMessageCenter>();
    center_->setRefresh([](const std::vector<KRMessage>&) {});
    KRMessageCenter::setCenterForCurrentThread(center_);
  }
  void TearDown() override {
    KRMessageCenter::setCenterForCurrentThread(nullptr);
    MainThreadQueue::shared().drain();
  }

  std::vector<std::string> messages() {
    MainThreadQueue::shared().drain();
    std::vector<std::string> texts;
    for (const auto& message : center_->shownMessages()) texts.push_back(message.shortText);
    center_->removeAllMessages();
    return texts;
  }

  std::string path(const std::string& name) const { return folder_.path(name); }

  TemporaryFolder folder_;
  std::shared_ptr<KRMessageCenter> center_;
};

}  // namespace orrelin::testing_support
