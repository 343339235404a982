#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "platform/DocumentCompression.h"
#include "platform/GraphicsContext.h"

using namespace orrelin;

namespace {

std::string inflated(const std::string& compressed) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  std::string out;
  char buffer[65536];
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - stream.avail_out);
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END ? out : std::string();
}

// What zlib makes of the text at a level, with deflateInit's other settings.
std::string deflated(const std::string& text, int level) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return status == Z_STREAM_END ? out : std::string();
}

// The longest stream of a PDF file, as stored.
std::string longestStream(const std::string& pdf) {
  std::string longest;
  for (std::size_t at = pdf.find("stream"); at != std::string::npos; at = pdf.find("stream", at + 1)) {
    if (at >= 3 && pdf.compare(at - 3, 3, "end") == 0) continue;
    std::size_t start = at + 6;
    if (pdf.compare(start, 2, "\r\n") == 0)
      start += 2;
    else if (pdf[start] == '\n')
      ++start;
    const std::size_t end = pdf.find("endstream", start);
    if (end == std::string::npos) break;
    std::size_t stop = end;
    while (stop > start && (pdf[stop - 1] == '\n' || pdf[stop - 1] == '\r')) --stop;
    if (stop - start > longest.size()) longest = pdf.substr(start, stop - start);
  }
  return longest;
}

}  // namespace

// The page content of a PDF is compressed at the documents' level, not at
// zlib's default: recompressing what it holds at that level gives the same
// bytes, at the default level other bytes.
TEST(DocumentCompression, PageContentIsCompressedAtTheDocumentLevel) {
  auto pdf = GraphicsContext::createForPDF({600, 400});
  ASSERT_TRUE(pdf);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> x(0, 600), y(0, 400);
  pdf->beginPath();
  pdf->moveTo(x(random), y(random));
  for (int i = 0; i < 20000; ++i) pdf->lineTo(x(random), y(random));
  pdf->strokePath();
  const auto bytes = pdf->finishDocument();
  const std::string stored = longestStream(std::string(bytes.begin(), bytes.end()));
  const std::string content = inflated(stored);
  ASSERT_GT(content.size(), 100000u);
  EXPECT_EQ(stored, deflated(content, kDocumentCompressionLevel));
  EXPECT_NE(stored, deflated(content, Z_DEFAULT_COMPRESSION));
}

// Callers that name a level keep it.
TEST(DocumentCompression, AChosenLevelIsKept) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += std::to_string(i * 7919 % 10007) + " ";
  z_stream stream{};
  ASSERT_EQ(deflateInit(&stream, 9), Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(text.data());
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  EXPECT_EQ(out, deflated(text, 9));
  EXPECT_NE(out, deflated(text, kDocumentCompressionLevel));
}
