#include "KsMultipartForm.h"

#include <algorithm>

namespace {

std::string QuotedSafe(const std::string& text) {
  std::string safe;
  safe.reserve(text.size());
  for (const char c : text) {
    if (c == '"') {
      safe += "%22";
    } else if (c == '\r') {
      safe += "%0D";
    } else if (c == '\n') {
      safe += "%0A";
    } else {
      safe += c;
    }
  }
  return safe;
}

}  // namespace

void KsMultipartForm::AppendInput(std::string name, std::string value) {
  m_parts.push_back(Part{std::move(name), std::nullopt, std::nullopt, std::move(value)});
}

void KsMultipartForm::AppendFile(std::string name, std::string fileName, std::optional<std::string> contentType,
                                 std::string data) {
  m_parts.push_back(Part{std::move(name), std::move(fileName), std::move(contentType), std::move(data)});
}

std::string KsMultipartForm::GetBoundary() const {
  std::string boundary = kBoundary;
  for (unsigned suffix = 0;; ++suffix) {
    const bool clash = std::any_of(m_parts.begin(), m_parts.end(), [&boundary](const Part& part) {
      return part.data.find(boundary) != std::string::npos;
    });
    if (!clash) return boundary;
    boundary = std::string(kBoundary) + "-" + std::to_string(suffix);
  }
}

std::string KsMultipartForm::GetContentType() const { return "multipart/form-data; boundary=" + GetBoundary(); }

std::string KsMultipartForm::GetBody() const {
  const std::string boundary = GetBoundary();
  std::string body;
  size_t size = 0;
  for (const Part& part : m_parts) size += part.data.size() + part.name.size() + 160;
  body.reserve(size + boundary.size() + 8);
  for (const Part& part : m_parts) {
    body += "--" + boundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"" + QuotedSafe(part.name) + "\";";
    if (part.fileName) body += "filename=\"" + QuotedSafe(*part.fileName) + "\";";
    body += "\r\n";
    if (part.contentType) body += "Content-Type: " + QuotedSafe(*part.contentType) + "\r\n";
    body += "\r\n";
    body += part.data;
    body += "\r\n";
  }
  body += "--" + boundary + "--\r\n";
  return body;
}
