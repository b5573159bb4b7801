#pragma once

#include "installer/Source/BOMXML.h"
#include "installer/Source/InstallerErrors.h"
#include "installer/Source/PackageUnpacker.h"

#include <optional>
#include <string>
#include <vector>

namespace hc::installer {

// Installs one update: unpacks its package in a scratch folder and verifies
// it against its bill of materials, copies the installed tree next to itself,
// applies the package to the copy and verifies the copy against the
// application's catalog, swaps the copy in, and reports the result by turning
// the update definition into a status file.
//
// The code is -1 until the first step runs, 0 from then on while nothing
// failed, else the code of the last recorded error. Every step answers true
// exactly while the code is 0; nothing stops the program.
class InstallerController {
 public:
  // Reads the update definition at updateDefinitionPath (a property list) and
  // derives the paths the steps use. Problems with the definition are
  // reported by the first step, not here.
  InstallerController(std::string updateDefinitionPath, bool debugMode);
  ~InstallerController();
  InstallerController(const InstallerController&) = delete;
  InstallerController& operator=(const InstallerController&) = delete;

  // The names of the result codes, in code order.
  static const std::vector<std::string>& installerErrorArray();

  int returnCode() const { return _returnCode; }
  // Every recorded message, joined by newlines; none while nothing was recorded.
  const std::optional<std::string>& errorString() const { return _errorString; }
  void appendErrorString(const std::string& message);

  // The five steps, in the order the run calls them.
  bool unpackageAndVerify();
  bool duplicateOriginalAndVerify();
  bool installAndVerify();
  bool replaceOriginal();
  bool cleanup();
  // Removes this controller's scratch folder, and nothing else.
  void removeWorkingDirectory();

  // Checks the unpacked package against its bill of materials: the one read
  // while unpacking, which every later step uses, or else the one at
  // packageBOMFilePath.
  bool verifyPackageFromBillOfMaterials(const std::string& packageBOMFilePath);
  // Checks the file at relativePath below root against its entry: mode
  // (set-id and sticky bits are cleared), size and fingerprint.
  bool verifyFile(const std::string& root, const std::string& relativePath,
                  const BomEntry& entryDictionary);

  const std::string& installBase() const { return _installBase; }
  const std::string& installBaseDuplicatePath() const { return _installBaseDuplicatePath; }
  const std::string& installerWorkingDirectory() const { return _installerWorkingDirectory; }
  const std::string& packageWorkingDirectory() const { return _packageWorkingDirectory; }
  const std::string& statusFilePath() const { return _statusFilePath; }

  // The swap exchanges the two trees in one step where the file system can;
  // turning that off makes it use two renames with roll-back (for tests).
  void setAtomicExchangeAllowed(bool allowed) { _atomicExchangeAllowed = allowed; }

 private:
  void readDefinition();
  void debugLog(const std::string& line) const;
  // Logs one file-system operation in debug mode and answers whether it
  // succeeded (error 0).
  bool logOperation(const std::string& prefix, int error, const std::string& command) const;
  void recordError(int code, const std::string& message);
  // Records a code whose message is "Internal Installer Error (name)",
  // preceded by reason when there is one.
  void recordInternalError(int code, const std::string& reason = std::string());

  bool makeWorkingDirectories();
  bool unpackPackage();
  bool extractPackage(const std::string& packagePath);
  // Parses the bill's text and keeps it for every later step; false, with
  // the error recorded, when it is no bill or must not be applied.
  bool takeBillOfMaterials(const std::string& text, const std::string& path);
  PackageUnpacker::Listing unpackingListing(std::size_t billBytes) const;
  std::string listedSizeText(const std::string& member) const;
  std::string billOfMaterialsProblem(const std::vector<BomEntry>& entries) const;
  bool verifyCatalog(const std::string& firstPrefix, const std::string& secondPrefix);
  bool applyEntry(const BomEntry& entry);
  bool installFile(const BomEntry& entry, bool replace, const std::string& command);
  bool verifyLinks();
  std::string billOfMaterialsPath() const;
  void writeStatusFile();

  std::string _updateDefinitionPath;
  std::string _applicationBase;
  std::string _installBaseKey;
  std::string _installBase;
  std::string _packageFilePath;
  std::string _installBaseDuplicatePath;
  std::string _installerWorkingDirectory;
  std::string _packageWorkingDirectory;
  int _returnCode = -1;
  std::optional<std::string> _errorString;
  bool _debugMode = false;

  std::string _statusFilePath;
  std::string _packageBaseName;
  std::string _definitionProblem;
  // The bill of materials, parsed once while unpacking.
  std::optional<std::vector<BomEntry>> _billOfMaterials;
  bool _atomicExchangeAllowed = true;
  bool _madeDuplicate = false;
};

}  // namespace hc::installer
