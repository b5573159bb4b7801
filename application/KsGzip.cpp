#include "KsGzip.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "KsTrace.h"

namespace {

constexpr int kGzipWindowBits = 15 + 16;  // deflate with a gzip header and trailer
constexpr size_t kChunk = 64 * 1024;

// Compresses chunks handed to it into an open output stream.
class GzipStream {
 public:
  explicit GzipStream(std::ofstream& out) : m_out(out) {
    m_ready = deflateInit2(&m_zip, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~GzipStream() {
    if (m_ready) deflateEnd(&m_zip);
  }
  bool Write(std::string_view data, bool last) {
    if (!m_ready) return false;
    m_zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    m_zip.avail_in = static_cast<uInt>(data.size());
    std::vector<char> buffer(kChunk);
    int status = Z_OK;
    do {
      m_zip.next_out = reinterpret_cast<Bytef*>(buffer.data());
      m_zip.avail_out = static_cast<uInt>(buffer.size());
      status = deflate(&m_zip, last ? Z_FINISH : Z_NO_FLUSH);
      if (status == Z_STREAM_ERROR) return false;
      m_out.write(buffer.data(), static_cast<std::streamsize>(buffer.size() - m_zip.avail_out));
    } while (m_zip.avail_out == 0 || (last && status != Z_STREAM_END));
    return static_cast<bool>(m_out);
  }

 private:
  std::ofstream& m_out;
  z_stream m_zip{};
  bool m_ready = false;
};

}  // namespace

eAppErr KsGzip::CompressBytes(std::string_view data, const std::string& destination) {
  if (data.size() > kMaxSourceBytes) return KS_TRACE_ERR(AppErr::kBadArgument, "CompressBytes");
  std::ofstream out(destination, std::ios::binary | std::ios::trunc);
  if (!out) return KS_TRACE_ERR(AppErrFromErrno(), "CompressBytes");
  GzipStream zip(out);
  // Handed over in chunks, as zlib counts input in 32 bits.
  for (size_t offset = 0;; offset += kChunk) {
    const std::string_view chunk = data.substr(std::min(offset, data.size()), kChunk);
    const bool last = offset + kChunk >= data.size();
    if (!zip.Write(chunk, last)) return KS_TRACE_ERR(AppErr::kGeneral, "CompressBytes");
    if (last) break;
  }
  out.close();
  return out ? AppErr::kNoErr : KS_TRACE_ERR(AppErr::kGeneral, "CompressBytes");
}

eAppErr KsGzip::CompressFile(const std::string& source, const std::string& destination) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error)) return KS_TRACE_ERR(AppErr::kNotFound, "CompressFile");
  if (std::filesystem::file_size(source, error) > kMaxSourceBytes || error) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "CompressFile");
  }
  std::ifstream in(source, std::ios::binary);
  std::ofstream out(destination, std::ios::binary | std::ios::trunc);
  if (!in || !out) return KS_TRACE_ERR(AppErrFromErrno(), "CompressFile");
  GzipStream zip(out);
  std::vector<char> buffer(kChunk);
  for (;;) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<size_t>(in.gcount());
    const bool last = !in;
    if (in.bad()) return KS_TRACE_ERR(AppErr::kGeneral, "CompressFile");
    if (!zip.Write(std::string_view(buffer.data(), got), last)) return KS_TRACE_ERR(AppErr::kGeneral, "CompressFile");
    if (last) break;
  }
  out.close();
  return out ? AppErr::kNoErr : KS_TRACE_ERR(AppErr::kGeneral, "CompressFile");
}
