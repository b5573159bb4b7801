#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "General/KsObject.h"
#include "SerializationTestClasses.h"
#include "Utilities/ParseLocation.h"
#include "Utilities/ParseReporter.h"
#include "Utilities/Parser.h"

// Remembers every warning of a parse.
class RecordingReporter : public ParseReporter {
 public:
  struct Warning {
    eAppErr code;
    std::string message;
    std::string location;
  };
  void AddWarning(const ParseLocation* location, eAppErr code, const PWStringRef& message) override {
    warnings.push_back({code, message.Str(), location ? location->CreateString().Str() : std::string()});
  }
  bool Saw(const std::string& fragment) const {
    for (const Warning& warning : warnings) {
      if (warning.message.find(fragment) != std::string::npos) return true;
    }
    return false;
  }
  std::vector<Warning> warnings;
};

// A sample with every value type set to a value that is easy to get wrong
// (text with markup, quotes and surrounding spaces among them), a collection
// holding one part twice, and that part, with a value of its own, as its child.
KsRef<Sample> MakeFullSample();

// Parses HcML text into the root object with an XMLLexer; answers Parse's result.
eAppErr ParseHcML(const std::string& text, const KsRef<KsObject>& root, ParseReporter* reporter = nullptr,
                  const KsRef<Emitter>& emitter = KsRef<Emitter>());

// The object written as HcML with the given root element name.
std::string WriteHcML(const KsRef<KsObject>& object, const char* rootElementName);

// A private folder removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::filesystem::path Write(const std::string& name, const std::string& contents) const;
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// Runs a program from PATH with the arguments (no shell); answers its exit
// status (-1 when it could not run) and what it wrote to standard output.
std::pair<int, std::string> RunProgram(const std::vector<std::string>& argv);
