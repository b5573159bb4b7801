#pragma once

#include <optional>
#include <string>
#include <vector>

// The body of an HTTP POST of multipart form data: text inputs and files,
// in the order appended, each part opened by its delimiter line and the
// whole closed by one final delimiter. The boundary is "0xKhTmLbOuNdArY",
// lengthened when a part's bytes happen to hold it, so no part can end the
// body early. Names and file names travel between double quotes; a quote,
// carriage return or line feed in them is written %22, %0D or %0A.
class KsMultipartForm {
 public:
  static constexpr const char* kBoundary = "0xKhTmLbOuNdArY";

  struct Part {
    std::string name;
    std::optional<std::string> fileName;
    std::optional<std::string> contentType;
    std::string data;
  };

  // A text input: the value's UTF-8 bytes, no file name, no content type.
  void AppendInput(std::string name, std::string value);
  // A file: its bytes under its file name, with a content type when known.
  void AppendFile(std::string name, std::string fileName, std::optional<std::string> contentType, std::string data);

  const std::vector<Part>& GetParts() const { return m_parts; }
  std::string GetBoundary() const;
  // "multipart/form-data; boundary=<boundary>".
  std::string GetContentType() const;
  std::string GetBody() const;

 private:
  std::vector<Part> m_parts;
};
