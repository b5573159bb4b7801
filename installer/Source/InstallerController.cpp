#include "installer/Source/InstallerController.h"

#include "installer/Source/FileOperations.h"
#include "installer/Source/KestrelDigest.h"
#include "installer/Source/LinkResolver.h"
#include "installer/Source/PackageUnpacker.h"
#include "installer/Source/PathRules.h"
#include "installer/Source/PropertyList.h"
#include "installer/Source/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace hc::installer {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string octal(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%o", value);
  return text;
}

std::string pointerText(const void* pointer) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", pointer);
  return text;
}

// root and relative joined by one slash ("%@/%@" or "%@%@" with a root that
// ends in a slash).
std::string joined(const std::string& root, const std::string& relative) {
  if (!root.empty() && root.back() == '/') return root + relative;
  return root + "/" + relative;
}

// Why an operation on path failed, in words for the status file.
std::string failureReason(const std::string& path, int error) {
  if (error == ELOOP) return "Refused to work through the symbolic link at " + path + ".";
  if (error == EXDEV) return path + " lies outside its folder.";
  return path + ": " + std::strerror(error);
}

std::string temporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  if (folder && folder[0] == '/') return folder;
  return "/tmp";
}

const std::string* entryString(const BomEntry& entry, const char* key) {
  return BOMXML::stringValue(entry, key);
}

std::string entryText(const BomEntry& entry, const char* key) {
  const std::string* text = entryString(entry, key);
  return text ? *text : std::string();
}

// A package path as the unpacker names members: its components joined by
// single slashes.
std::string normalizedPackagePath(const std::string& packagePath) {
  std::string joined;
  if (auto components = PathRules::containedComponents(packagePath)) {
    for (const std::string& component : *components) {
      if (!joined.empty()) joined += '/';
      joined += component;
    }
  }
  return joined;
}

// Components the link judgement may take over one installation.
constexpr std::size_t kLinkSteps = 1000000;

}  // namespace

const std::vector<std::string>& InstallerController::installerErrorArray() {
  static const std::vector<std::string> names = {
      "KsInstallerNoError",
      "KsInstallerUnableToCreateWorkingDirectory",
      "KsFileVerifyPermissionsRepairFailure",
      "KsFileVerifyFileSizeMismatch",
      "KsFileVerifyFingerprintMismatch",
      "KsFileVerifyFileTypeMismatchRegular",
      "KsFileVerifyLinkMismatch",
      "KsFileVerifyFileTypeMismatchLink",
      "KsFileVerifyFileMissing",
      "KsPackageBOMNotFound",
      "KsPackageRemoveUnpackagedPackage",
      "KsPackageUnpackageFailed",
      "KsPackageMoveFailed",
      "KsPackageDecompressFailed",
      "KsPackageCopyFailed",
      "KsPackageNotFound",
      "KsDuplicateOriginalDeleteTempDirectoryFailed",
      "KsDuplicateOriginalMoveFailed",
      "KsDuplicateOriginalGnutarFailed",
      "KsDuplicateOriginalMakeTempDirectoryFailed",
      "KsReplaceOriginalDeleteOriginalFailed",
      "KsReplaceOriginalMoveNewFailed",
      "KsReplaceOriginalMoveOriginalFailed",
      "KsInstallRemoveFileFailed",
      "KsInstallReplaceRemoveFileFailed",
      "KsInstallReplaceUnknownFileType",
      "KsInstallReplaceCopyFileFailed",
      "KsInstallAddUnknownFileType",
      "KsInstallAddFileFailed",
      "KsInstallerUnableToRemoveWorkingDirectory",
      "KsInstallerUnableToRemovePackageFile",
      "KsInstallerUnableToWriteStatusToUpdateDefinitionFile",
      "KsInstallerUnableToRenameStatusFile",
  };
  return names;
}

InstallerController::InstallerController(std::string updateDefinitionPath, bool debugMode)
    : _updateDefinitionPath(std::move(updateDefinitionPath)), _debugMode(debugMode) {
  _statusFilePath = _updateDefinitionPath + ".status";
  readDefinition();
  debugLog("- (id)initWithUpdateDefinition:(NSString *)updateDefinitionPath;");
  debugLog("    _updateDefinitionPath = " + _updateDefinitionPath);
  debugLog("    _applicationBase = " + _applicationBase);
  debugLog("    _installBaseKey = " + _installBaseKey);
  debugLog("    _installBase = " + _installBase);
  debugLog("    _packageFilePath = " + _packageFilePath);
  debugLog("    _installBaseDuplicatePath = " + _installBaseDuplicatePath);
  debugLog("    _installerWorkingDirectory = " + _installerWorkingDirectory);
  debugLog("    _packageWorkingDirectory = " + _packageWorkingDirectory);
  _returnCode = -1;
}

InstallerController::~InstallerController() { removeWorkingDirectory(); }

void InstallerController::readDefinition() {
  auto definition = PropertyList::fromFile(_updateDefinitionPath);
  if (!definition || !definition->isDictionary()) {
    _definitionProblem = "The update definition " + _updateDefinitionPath + " cannot be read.";
    return;
  }
  auto missing = [this](const std::string& key) {
    if (_definitionProblem.empty()) {
      _definitionProblem = "The update definition " + _updateDefinitionPath + " has no usable \"" +
                           key + "\".";
    }
  };
  const PropertyList* paths = nullptr;
  if (const PropertyList* applications = definition->get("KsUpdateAppDefinitions")) {
    paths = applications->get("KsUpdatePathDefinitions");
  }
  if (const std::string* key = definition->stringAt("InstallBase")) _installBaseKey = *key;
  if (paths) {
    if (const std::string* wrapper = paths->stringAt("AppWrapper")) _applicationBase = *wrapper;
  }
  if (const std::string* installPath = definition->stringAt("KsUpdateInstallPath")) {
    _installBase = *installPath;
  } else if (paths && !_installBaseKey.empty()) {
    if (const std::string* base = paths->stringAt(_installBaseKey)) _installBase = *base;
  }
  if (const std::string* package = definition->stringAt("KsUpdateUpdatePath")) {
    _packageFilePath = *package;
  }

  // The install base key names the catalog file, so it is one plain name.
  if (_installBaseKey.empty() || _installBaseKey.find('/') != std::string::npos ||
      _installBaseKey == "." || _installBaseKey == "..") {
    missing("InstallBase");
  }
  if (_applicationBase.empty() || _applicationBase.front() != '/') missing("AppWrapper");
  if (_installBase.empty() || _installBase.front() != '/' ||
      PathRules::lastPathComponent(_installBase) == "/") {
    missing(definition->get("KsUpdateInstallPath") ? "KsUpdateInstallPath" : _installBaseKey);
  }
  if (_packageFilePath.empty() || _packageFilePath.front() != '/') missing("KsUpdateUpdatePath");

  if (!_installBase.empty()) {
    while (_installBase.size() > 1 && _installBase.back() == '/') _installBase.pop_back();
    _installBaseDuplicatePath = _installBase + " Copy";
  }
  _packageBaseName =
      PathRules::deletingPathExtension(PathRules::lastPathComponent(_packageFilePath));
}

void InstallerController::debugLog(const std::string& line) const {
  if (_debugMode) std::fprintf(stderr, "%s\n", line.c_str());
}

bool InstallerController::logOperation(const std::string& prefix, int error,
                                       const std::string& command) const {
  debugLog(prefix + " rc = " + std::to_string(error) + " comand: " + command);
  return error == 0;
}

// Every message is one line of the status file, whatever the paths in it hold.
void InstallerController::appendErrorString(const std::string& message) {
  const std::string line = PathRules::escapedForMessage(message);
  if (!_errorString) {
    _errorString = line;
  } else {
    *_errorString += "\n" + line;
  }
}

void InstallerController::recordError(int code, const std::string& message) {
  appendErrorString(message);
  _returnCode = code;
}

void InstallerController::recordInternalError(int code, const std::string& reason) {
  if (!reason.empty()) appendErrorString(reason);
  recordError(code, "Internal Installer Error (" + installerErrorArray().at(code) + ")");
}

std::string InstallerController::billOfMaterialsPath() const {
  return _packageWorkingDirectory + _packageBaseName + ".xml";
}

// ---------------------------------------------------------------------------
// Unpacking

bool InstallerController::unpackageAndVerify() {
  debugLog("- (BOOL)unpackageAndVerify;");
  _returnCode = 0;
  if (!_definitionProblem.empty()) {
    recordInternalError(KsPackageNotFound, _definitionProblem);
  } else if (makeWorkingDirectories() && unpackPackage()) {
    verifyPackageFromBillOfMaterials(billOfMaterialsPath());
  }
  debugLog("- (BOOL)unpackageAndVerify; result = " + std::to_string(_returnCode));
  return _returnCode == 0;
}

bool InstallerController::makeWorkingDirectories() {
  removeWorkingDirectory();
  std::string scratch = temporaryFolder() + "/kstlinstaller.XXXXXX";
  const bool made = ::mkdtemp(scratch.data()) != nullptr;
  if (!logOperation("    1", made ? 0 : errno, "mkdtemp " + quoted(scratch))) {
    recordError(KsInstallerUnableToCreateWorkingDirectory,
                "Could not create " + scratch + " directory!");
    return false;
  }
  _installerWorkingDirectory = scratch + "/";
  _packageWorkingDirectory = _installerWorkingDirectory + _packageBaseName + "/";
  const int error = ::mkdir(_packageWorkingDirectory.c_str(), 0700) == 0 ? 0 : errno;
  if (!logOperation("    2", error, "mkdir " + quoted(_packageWorkingDirectory))) {
    recordError(KsInstallerUnableToCreateWorkingDirectory,
                "Could not create " + _packageWorkingDirectory + " directory!");
    return false;
  }
  return true;
}

bool InstallerController::unpackPackage() {
  if (!FileOperations::exists(_packageFilePath)) {
    recordInternalError(KsPackageNotFound, "The update package " + _packageFilePath + " is missing.");
    return false;
  }
  const std::string packageName = PathRules::lastPathComponent(_packageFilePath);
  const std::string copiedPackage = _installerWorkingDirectory + packageName;
  int error = FileOperations::copyFile(_packageFilePath, copiedPackage);
  if (!logOperation("    4", error, "cp -rp " + quoted(_packageFilePath) + " .")) {
    recordInternalError(KsPackageCopyFailed, failureReason(_packageFilePath, error));
    return false;
  }

  // The package is read compressed, member by member: the archive is never
  // written out whole, so a small package cannot fill the disk.
  std::string problem;
  const std::string decompressedName = PackageUnpacker::decompressedName(packageName);
  if (decompressedName.empty()) {
    problem = "The update package " + packageName + " has no suffix of a gzip-compressed file.";
    error = EINVAL;
  } else if (decompressedName == _packageBaseName) {
    // Decompressed beside itself it would take the unpacking folder's name.
    problem = "Cannot create " + _installerWorkingDirectory + decompressedName + ": " +
              std::strerror(EEXIST);
    error = EEXIST;
  } else {
    error = PackageUnpacker::checkCompressed(copiedPackage, problem);
  }
  if (!logOperation("    5", error, "gunzip " + quoted(copiedPackage))) {
    recordInternalError(KsPackageDecompressFailed, problem);
    return false;
  }

  const std::string archiveName = _packageBaseName + ".tar";
  error = decompressedName == archiveName ? 0 : ENOENT;
  if (!logOperation("    7", error, "mv " + quoted(_installerWorkingDirectory + archiveName) + " .")) {
    recordInternalError(KsPackageMoveFailed,
                        "The update package does not decompress to " + archiveName + ".");
    return false;
  }

  if (!extractPackage(copiedPackage)) return false;

  error = FileOperations::removePath(copiedPackage);
  if (!logOperation("    9", error, "rm -rf " + quoted(copiedPackage))) {
    recordInternalError(KsPackageRemoveUnpackagedPackage, failureReason(copiedPackage, error));
    return false;
  }
  return true;
}

bool InstallerController::extractPackage(const std::string& packagePath) {
  const std::string billName = _packageBaseName + ".xml";
  const auto report = PackageUnpacker::unpack(
      packagePath, billName, _packageWorkingDirectory,
      [this](const std::string& text) -> std::optional<PackageUnpacker::Listing> {
        if (!takeBillOfMaterials(text, billOfMaterialsPath())) return std::nullopt;
        return unpackingListing(text.size());
      });
  using Result = PackageUnpacker::Result;
  logOperation("    8", report.result == Result::Unpacked ? 0 : EINVAL,
               "gnutar xf " + quoted(packagePath));
  switch (report.result) {
    case Result::Unpacked:
      return true;
    case Result::BillRefused:
      return false;  // the bill's own error is recorded
    case Result::NoBill:
      recordError(KsPackageBOMNotFound, "Internal Installer Error (KsPackageBOMNotFound)");
      return false;
    case Result::MemberTooLarge:
      recordError(KsFileVerifyFileSizeMismatch,
                  "File size for " + _packageWorkingDirectory + report.member + " is " +
                      std::to_string(report.memberBytes) + " installer expected " +
                      listedSizeText(report.member) + ".");
      return false;
    case Result::Refused:
      break;
  }
  recordInternalError(KsPackageUnpackageFailed, report.problem);
  return false;
}

// What the package may unpack: the files the bill installs, each no larger
// than the bill lists it, and all members together no more than the bill,
// its sizes and a margin.
PackageUnpacker::Listing InstallerController::unpackingListing(std::size_t billBytes) const {
  PackageUnpacker::Listing listing;
  std::uint64_t listedBytes = billBytes;
  for (const BomEntry& entry : *_billOfMaterials) {
    const std::string operation = entryText(entry, "operation");
    if ((operation != "replace" && operation != "add") || entryText(entry, "filetype") != "file") {
      continue;
    }
    const std::string member = normalizedPackagePath(entryText(entry, "packagepath"));
    const std::uint64_t size = BOMXML::numberValue(entry, "size").value_or(0);
    std::uint64_t& largest = listing.files[member];
    largest = std::max(largest, size);
    listedBytes = listedBytes > UINT64_MAX - size ? UINT64_MAX : listedBytes + size;
  }
  listing.allowedBytes = listedBytes > UINT64_MAX - PackageUnpacker::kUnpackedMargin
                             ? UINT64_MAX
                             : listedBytes + PackageUnpacker::kUnpackedMargin;
  return listing;
}

std::string InstallerController::listedSizeText(const std::string& member) const {
  std::optional<std::uint64_t> largest;
  for (const BomEntry& entry : *_billOfMaterials) {
    if (normalizedPackagePath(entryText(entry, "packagepath")) != member) continue;
    if (auto size = BOMXML::numberValue(entry, "size")) largest = std::max(largest.value_or(0), *size);
  }
  return largest ? std::to_string(*largest) : std::string("(none)");
}

// ---------------------------------------------------------------------------
// Bills of materials, catalogs and file checks

bool InstallerController::takeBillOfMaterials(const std::string& text, const std::string& path) {
  auto entries = BOMXML::billOfMaterials(text);
  if (!entries) {
    recordInternalError(KsPackageBOMNotFound,
                        "The bill of materials " + path + " has no \"billofmaterials\" element.");
    return false;
  }
  const std::string problem = billOfMaterialsProblem(*entries);
  if (!problem.empty()) {
    recordInternalError(KsPackageBOMNotFound, problem);
    return false;
  }
  _billOfMaterials = std::move(entries);
  return true;
}

// Why a bill of materials must not be applied, or nothing when it may: every
// path it writes stays inside the copy, every file it takes stays inside the
// package, and every link it makes points inside the application.
std::string InstallerController::billOfMaterialsProblem(const std::vector<BomEntry>& entries) const {
  for (const BomEntry& entry : entries) {
    const std::string operation = entryText(entry, "operation");
    if (operation != "remove" && operation != "replace" && operation != "add") continue;
    const std::string relativePath = entryText(entry, "relativepath");
    if (!PathRules::isContainedRelativePath(relativePath)) {
      return "Bill of materials entry " + quoted(relativePath) + " leaves the application.";
    }
    if (operation == "remove") continue;
    const std::string fileType = entryText(entry, "filetype");
    if (fileType == "file" && !PathRules::isContainedRelativePath(entryText(entry, "packagepath"))) {
      return "Bill of materials entry " + quoted(relativePath) + " takes " +
             quoted(entryText(entry, "packagepath")) + " from outside the package.";
    }
    if (fileType == "link" &&
        !PathRules::linkStaysInside(relativePath, entryText(entry, "link"), _installBase)) {
      return "Bill of materials entry " + quoted(relativePath) + " links to " +
             quoted(entryText(entry, "link")) + " outside the application.";
    }
    if (fileType == "directory" && !BOMXML::numberValue(entry, "permissions")) {
      return "Bill of materials entry " + quoted(relativePath) + " has no permissions.";
    }
  }
  return std::string();
}

bool InstallerController::verifyPackageFromBillOfMaterials(const std::string& packageBOMFilePath) {
  debugLog("    - (BOOL)verifyPackageFromBillOfMaterials:(NSString *)packageBOMFilePath;");
  debugLog("        packageBOMFilePath = " + packageBOMFilePath);
  // The bill read while unpacking is the one every later step uses; it is
  // read from the path only when none was read yet.
  if (!_billOfMaterials) {
    if (auto text = FileOperations::readText(packageBOMFilePath, BOMXML::kMaxBytes)) {
      takeBillOfMaterials(*text, packageBOMFilePath);
    } else {
      recordError(KsPackageBOMNotFound, "Internal Installer Error (KsPackageBOMNotFound)");
    }
  }
  if (_billOfMaterials && _returnCode == 0) {
    for (const BomEntry& entry : *_billOfMaterials) {
      const std::string operation = entryText(entry, "operation");
      if (operation != "replace" && operation != "add") continue;
      if (!verifyFile(_packageWorkingDirectory, entryText(entry, "packagepath"), entry)) break;
    }
  }
  debugLog(
      "    - (BOOL)verifyPackageFromBillOfMaterials:(NSString *)packageBOMFilePath; result = " +
      std::to_string(_returnCode));
  return _returnCode == 0;
}

bool InstallerController::verifyFile(const std::string& root, const std::string& relativePath,
                                     const BomEntry& entryDictionary) {
  const std::string filePath = joined(root, relativePath);
  debugLog("    - (BOOL)verifyFile:(NSString *)filePath withEntry:(NSDictionary *)entryDictionary;");
  debugLog("        filePath = " + filePath);
  auto finish = [&] {
    debugLog(
        "    - (BOOL)verifyFile:(NSString *)filePath withEntry:(NSDictionary *)entryDictionary; "
        "result = " +
        std::to_string(_returnCode));
    return _returnCode == 0;
  };
  if (entryText(entryDictionary, "filetype") != "file") return finish();

  UniqueFd rootFd, parent;
  std::string leaf;
  int error = FileOperations::openRoot(root, rootFd);
  if (!error) error = FileOperations::openParent(rootFd.get(), relativePath, false, parent, leaf);
  struct stat info;
  if (!error && ::fstatat(parent.get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) error = errno;
  if (error == ELOOP || error == EXDEV) {
    recordError(KsFileVerifyFileMissing, failureReason(filePath, error));
    return finish();
  }
  if (error) {
    recordError(KsFileVerifyFileMissing, filePath + " missing!");
    return finish();
  }

  const mode_t masked = info.st_mode & 0777;
  if ((info.st_mode & 07777) != masked && !S_ISLNK(info.st_mode)) {
    const int chmodError = ::fchmodat(parent.get(), leaf.c_str(), masked, 0) == 0 ? 0 : errno;
    if (!logOperation("        x", chmodError, "chmod -f " + octal(masked) + " " + quoted(filePath))) {
      recordError(KsFileVerifyPermissionsRepairFailure,
                  "Could not restore permissions of " + filePath + " to " + octal(masked) + ".");
    }
  }
  if (!S_ISREG(info.st_mode)) return finish();

  const auto listedSize = BOMXML::numberValue(entryDictionary, "size");
  const std::string sizeOnDisk = std::to_string(info.st_size);
  const std::string sizeListed = listedSize ? std::to_string(*listedSize) : std::string("(none)");
  if (!listedSize || *listedSize != static_cast<std::uint64_t>(info.st_size)) {
    recordError(KsFileVerifyFileSizeMismatch, "File size for " + filePath + " is " + sizeOnDisk +
                                                  " installer expected " + sizeListed + ".");
    debugLog("    fs = " + sizeOnDisk + " efs = " + sizeListed);
    return finish();
  }

  UniqueFd file(::openat(parent.get(), leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  std::optional<std::string> fingerprint;
  if (file.valid()) {
    fingerprint = KestrelDigest::fingerprintForDescriptor(
        file.get(), entryText(entryDictionary, "fingerprinttype"));
  }
  const std::string* listedFingerprint = entryString(entryDictionary, "fingerprint");
  if (!fingerprint || !listedFingerprint || *fingerprint != *listedFingerprint) {
    recordError(KsFileVerifyFingerprintMismatch,
                "The file " + filePath + " has had its contents changed.");
    debugLog("    fp = " + fingerprint.value_or("(none)") +
             " efp = " + (listedFingerprint ? *listedFingerprint : std::string("(none)")));
  }
  return finish();
}

bool InstallerController::verifyCatalog(const std::string& firstPrefix,
                                        const std::string& secondPrefix) {
  const std::string catalogName = _installBaseKey + ".catalog";
  std::string catalogFilePath = _installBaseDuplicatePath + "/" + catalogName;
  auto contents = FileOperations::readTextBeneath(_installBaseDuplicatePath, catalogName,
                                                  BOMXML::kMaxBytes);
  debugLog(firstPrefix + " catalogFilePath = " + catalogFilePath +
           " catalogContents = " + pointerText(contents ? contents->data() : nullptr));
  if (!contents) {
    catalogFilePath = _applicationBase + "/" + catalogName;
    contents = FileOperations::readText(catalogFilePath, BOMXML::kMaxBytes);
    debugLog(secondPrefix + " catalogFilePath = " + catalogFilePath +
             " catalogContents = " + pointerText(contents ? contents->data() : nullptr));
  }
  if (!contents) return true;  // an application without a catalog has nothing to check

  auto entries = BOMXML::catalog(*contents);
  if (!entries) {
    recordInternalError(KsPackageBOMNotFound,
                        "The catalog " + catalogFilePath + " has no \"catalog\" element.");
    return false;
  }
  for (const BomEntry& entry : *entries) {
    if (entryText(entry, "filetype") != "file") continue;
    const std::string relativePath = entryText(entry, "relativepath");
    if (!PathRules::isContainedRelativePath(relativePath)) {
      recordInternalError(KsPackageBOMNotFound,
                          "Catalog entry " + quoted(relativePath) + " leaves the application.");
      return false;
    }
    if (!verifyFile(_installBaseDuplicatePath, relativePath, entry)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Duplicating and installing

bool InstallerController::duplicateOriginalAndVerify() {
  debugLog("- (BOOL)duplicateOriginalAndVerify;");
  const std::string parent = PathRules::deletingLastPathComponent(_installBase);
  const std::string temporary = joined(parent, ".kstltmp/");
  const std::string copyInTemporary = temporary + PathRules::lastPathComponent(_installBase);

  bool ok = false;
  int error = ::mkdir(temporary.c_str(), 0700) == 0 ? 0 : errno;
  const bool madeTemporary = error == 0;
  if (!logOperation("    2", error, "mkdir " + quoted(temporary))) {
    recordInternalError(KsDuplicateOriginalMakeTempDirectoryFailed, failureReason(temporary, error));
  } else if (error = FileOperations::copyTree(_installBase, copyInTemporary),
             !logOperation("    3", error, "copy " + quoted(_installBase) + " to " + quoted(temporary))) {
    recordInternalError(KsDuplicateOriginalGnutarFailed, failureReason(_installBase, error));
  } else if (error = FileOperations::movePath(copyInTemporary, _installBaseDuplicatePath),
             !logOperation("    4", error,
                           "mv " + quoted(copyInTemporary) + " " + quoted(_installBaseDuplicatePath))) {
    recordInternalError(KsDuplicateOriginalMoveFailed,
                        failureReason(_installBaseDuplicatePath, error));
  } else {
    _madeDuplicate = true;
    ok = true;
  }
  // The temporary folder is ours once made: it goes whether the copy worked
  // or not, so that a failed copy does not block every later update.
  if (madeTemporary) {
    const int removeError = FileOperations::removePath(temporary);
    if (!logOperation("    5", removeError, "rm -rf " + quoted(temporary)) && ok) {
      recordInternalError(KsDuplicateOriginalDeleteTempDirectoryFailed,
                          failureReason(temporary, removeError));
      ok = false;
    }
  }
  if (ok) verifyCatalog("    6", "    7");
  debugLog("- (BOOL)duplicateOriginalAndVerify; result = " + std::to_string(_returnCode));
  return _returnCode == 0;
}

bool InstallerController::applyEntry(const BomEntry& entry) {
  const std::string operation = entryText(entry, "operation");
  const std::string relativePath = entryText(entry, "relativepath");
  const std::string destination = _installBaseDuplicatePath + "/" + relativePath;
  if (operation == "remove") {
    const int error = FileOperations::removeItem(_installBaseDuplicatePath, relativePath);
    if (!logOperation("    4", error, "rm -rf " + quoted(destination))) {
      recordInternalError(KsInstallRemoveFileFailed, failureReason(destination, error));
      return false;
    }
    return true;
  }
  if (operation != "replace" && operation != "add") return true;

  const bool replace = operation == "replace";
  if (replace) {
    const int error = FileOperations::removeItem(_installBaseDuplicatePath, relativePath);
    if (!logOperation("    5", error, "rm -rf " + quoted(destination))) {
      recordInternalError(KsInstallReplaceRemoveFileFailed, failureReason(destination, error));
      return false;
    }
  }
  const std::string fileType = entryText(entry, "filetype");
  if (fileType != "file" && fileType != "link" && fileType != "directory") {
    recordInternalError(replace ? KsInstallReplaceUnknownFileType : KsInstallAddUnknownFileType,
                        "Unknown file type " + quoted(fileType) + " for " + destination + ".");
    return true;  // the walk goes on, but no later command adds anything
  }
  if (_returnCode != 0) return true;

  if (fileType == "file") {
    const std::string packagePath = entryText(entry, "packagepath");
    return installFile(entry, replace,
                       "cp -p " + quoted(_packageWorkingDirectory + packagePath) + " " +
                           quoted(destination));
  }
  int error = 0;
  std::string command;
  if (fileType == "link") {
    const std::string target = entryText(entry, "link");
    error = FileOperations::makeSymbolicLink(_installBaseDuplicatePath, relativePath, target);
    command = "ln -s " + quoted(target) + " " + quoted(destination);
  } else {
    const auto permissions = static_cast<mode_t>(*BOMXML::numberValue(entry, "permissions"));
    error = FileOperations::makeDirectory(_installBaseDuplicatePath, relativePath, permissions);
    command = "mkdir -p " + quoted(destination) + "; chmod " +
              octal(permissions & FileOperations::kPackageModeMask) + " " + quoted(destination);
  }
  if (!logOperation("    6", error, command)) {
    recordInternalError(replace ? KsInstallReplaceCopyFileFailed : KsInstallAddFileFailed,
                        failureReason(destination, error));
    return false;
  }
  return true;
}

// Copies a package file into the copy, fingerprinting the very bytes that
// are written: a file changed since the package was verified is caught here
// and never reaches the application.
bool InstallerController::installFile(const BomEntry& entry, bool replace,
                                      const std::string& command) {
  const std::string packagePath = entryText(entry, "packagepath");
  const std::string relativePath = entryText(entry, "relativepath");
  const std::string source = _packageWorkingDirectory + packagePath;
  KestrelDigest::Stream digest(entryText(entry, "fingerprinttype"));
  std::uint64_t copiedBytes = 0;
  const int error = FileOperations::copyFileInto(
      _packageWorkingDirectory, packagePath, _installBaseDuplicatePath, relativePath,
      [&](const char* bytes, std::size_t count) {
        digest.update(bytes, count);
        copiedBytes += count;
      });
  if (!logOperation("    6", error, command)) {
    recordInternalError(replace ? KsInstallReplaceCopyFileFailed : KsInstallAddFileFailed,
                        failureReason(_installBaseDuplicatePath + "/" + relativePath, error));
    return false;
  }
  const auto listedSize = BOMXML::numberValue(entry, "size");
  if (!listedSize || *listedSize != copiedBytes) {
    recordError(KsFileVerifyFileSizeMismatch,
                "File size for " + source + " is " + std::to_string(copiedBytes) +
                    " installer expected " +
                    (listedSize ? std::to_string(*listedSize) : std::string("(none)")) + ".");
    return false;
  }
  const auto fingerprint = digest.finish();
  const std::string* listedFingerprint = entryString(entry, "fingerprint");
  if (!fingerprint || !listedFingerprint || *fingerprint != *listedFingerprint) {
    recordError(KsFileVerifyFingerprintMismatch,
                "The file " + source + " has had its contents changed.");
    debugLog("    fp = " + fingerprint.value_or("(none)") +
             " efp = " + (listedFingerprint ? *listedFingerprint : std::string("(none)")));
    return false;
  }
  return true;
}

// Every link in the finished copy must lead inside the application, judged
// by where it really resolves through the links around it. A link the
// installed application already had, unchanged and already leading out, is
// the application's own affair and stays.
bool InstallerController::verifyLinks() {
  std::vector<std::string> links;
  if (const int error = FileOperations::listLinks(_installBaseDuplicatePath, links)) {
    recordError(KsFileVerifyLinkMismatch, failureReason(_installBaseDuplicatePath, error));
    return false;
  }
  UniqueFd copyFd, originalFd;
  FileOperations::openRoot(_installBaseDuplicatePath, copyFd);
  FileOperations::openRoot(_installBase, originalFd);
  auto lookUpIn = [](const UniqueFd& root) {
    return [fd = root.get()](const std::vector<std::string>& path) {
      return FileOperations::linkTargetBeneath(fd, path);
    };
  };
  LinkResolver copy(_installBase, lookUpIn(copyFd), kLinkSteps);
  LinkResolver original(_installBase, lookUpIn(originalFd), kLinkSteps);
  for (const std::string& link : links) {
    if (copy.resolve(link) == LinkResolver::Outcome::Inside) continue;
    const auto components = PathRules::containedComponents(link);
    const auto target = FileOperations::linkTargetBeneath(copyFd.get(), *components);
    const auto before = originalFd.valid()
                            ? FileOperations::linkTargetBeneath(originalFd.get(), *components)
                            : std::nullopt;
    if (before && target && *before == *target &&
        original.resolve(link) != LinkResolver::Outcome::Inside) {
      continue;
    }
    recordError(KsFileVerifyLinkMismatch, "The link " + _installBaseDuplicatePath + "/" + link +
                                              " leads outside the application.");
    return false;
  }
  return true;
}

bool InstallerController::installAndVerify() {
  debugLog("- (BOOL)installAndVerify;");
  if (!_billOfMaterials) {
    recordError(KsPackageBOMNotFound, "Internal Installer Error (KsPackageBOMNotFound)");
  } else {
    for (const BomEntry& entry : *_billOfMaterials) {
      if (!applyEntry(entry)) break;
    }
    if (_returnCode == 0) verifyLinks();
    if (_returnCode == 0) verifyCatalog("    8", "    9");
  }
  debugLog("- (BOOL)installAndVerify; result = " + std::to_string(_returnCode));
  return _returnCode == 0;
}

// ---------------------------------------------------------------------------
// Swapping and cleaning up

bool InstallerController::replaceOriginal() {
  debugLog("- (BOOL)replaceOriginal;");
  const std::string old = _installBase + " Old";
  std::string oldTree;
  bool swapped = false;
  int error = ENOSYS;
  if (_atomicExchangeAllowed) {
    error = FileOperations::exchangePaths(_installBaseDuplicatePath, _installBase);
    logOperation("    2", error,
                 "exchange " + quoted(_installBaseDuplicatePath) + " " + quoted(_installBase));
    if (error == 0) {
      // The old tree now sits at the duplicate's path; it leaves as " Old".
      _madeDuplicate = false;
      swapped = true;
      const int moveError = FileOperations::movePath(_installBaseDuplicatePath, old);
      logOperation("    3", moveError, "mv " + quoted(_installBaseDuplicatePath) + " " + quoted(old));
      oldTree = moveError == 0 ? old : _installBaseDuplicatePath;
    } else if (error != EINVAL && error != ENOSYS && error != ENOTSUP) {
      recordInternalError(KsReplaceOriginalMoveNewFailed, failureReason(_installBase, error));
    }
  }
  if (!swapped && _returnCode == 0) {
    error = FileOperations::movePath(_installBase, old);
    if (!logOperation("    2", error, "mv " + quoted(_installBase) + " " + quoted(old))) {
      recordInternalError(KsReplaceOriginalMoveOriginalFailed, failureReason(_installBase, error));
    } else if (error = FileOperations::movePath(_installBaseDuplicatePath, _installBase),
               !logOperation("    3", error,
                             "mv " + quoted(_installBaseDuplicatePath) + " " + quoted(_installBase))) {
      // Put the old tree back under its own name.
      const int rollBack = FileOperations::movePath(old, _installBase);
      logOperation("    r", rollBack, "mv " + quoted(old) + " " + quoted(_installBase));
      recordInternalError(KsReplaceOriginalMoveNewFailed,
                          rollBack == 0 ? failureReason(_installBaseDuplicatePath, error)
                                        : "The application was left at " + old + ".");
    } else {
      _madeDuplicate = false;
      swapped = true;
      oldTree = old;
    }
  }
  if (swapped) {
    error = FileOperations::removePath(oldTree);
    if (!logOperation("    4", error, "rm -rf " + quoted(oldTree))) {
      recordInternalError(KsReplaceOriginalDeleteOriginalFailed, failureReason(oldTree, error));
    }
  }
  debugLog("- (BOOL)replaceOriginal; result = " + std::to_string(_returnCode));
  return _returnCode == 0;
}

bool InstallerController::cleanup() {
  debugLog("- (BOOL)cleanup;");
  if (!_packageFilePath.empty() && _packageFilePath.front() == '/') {
    // The package is a file: a folder named in its place is not removed.
    const int error = ::unlink(_packageFilePath.c_str()) == 0 || errno == ENOENT ? 0 : errno;
    if (!logOperation("    2", error, "rm -rf " + quoted(_packageFilePath)) && _returnCode == 0) {
      recordInternalError(KsInstallerUnableToRemovePackageFile, failureReason(_packageFilePath, error));
    }
  }
  if (_madeDuplicate) {
    // The update failed before the swap: the copy this run made goes.
    const int error = FileOperations::removePath(_installBaseDuplicatePath);
    logOperation("    d", error, "rm -rf " + quoted(_installBaseDuplicatePath));
    if (error == 0) _madeDuplicate = false;
  }
  writeStatusFile();
  debugLog("- (BOOL)cleanup; result = " + std::to_string(_returnCode));
  return _returnCode == 0;
}

// The status file is written beside the definition under a temporary name
// and renamed into place, so that it is never seen half written; the
// definition itself then goes.
void InstallerController::writeStatusFile() {
  const std::string content =
      std::to_string(_returnCode) + "\n" + _errorString.value_or(std::string()) + "\n";
  std::string temporary = _statusFilePath + ".XXXXXX";
  UniqueFd file(::mkstemp(temporary.data()));
  bool written = file.valid();
  if (written) {
    struct stat definition;
    const mode_t mode = ::stat(_updateDefinitionPath.c_str(), &definition) == 0
                            ? (definition.st_mode & 0777)
                            : 0644;
    const char* bytes = content.data();
    std::size_t left = content.size();
    while (written && left > 0) {
      const ssize_t count = ::write(file.get(), bytes, left);
      if (count < 0 && errno == EINTR) continue;
      written = count > 0;
      if (written) {
        bytes += count;
        left -= static_cast<std::size_t>(count);
      }
    }
    written = written && ::fchmod(file.get(), mode) == 0 && ::fsync(file.get()) == 0;
    written = ::close(file.release()) == 0 && written;
    if (!written) ::unlink(temporary.c_str());
  }
  logOperation("    3", written ? 0 : EIO, "write " + quoted(temporary));
  if (!written) {
    if (_returnCode == 0) recordInternalError(KsInstallerUnableToWriteStatusToUpdateDefinitionFile);
    return;
  }
  int error = FileOperations::movePath(temporary, _statusFilePath);
  if (error != 0) {
    ::unlink(temporary.c_str());
  } else if (::unlink(_updateDefinitionPath.c_str()) != 0 && errno != ENOENT) {
    error = errno;
  }
  if (!logOperation("    3", error,
                    "mv " + quoted(_updateDefinitionPath) + " " + quoted(_statusFilePath)) &&
      _returnCode == 0) {
    recordInternalError(KsInstallerUnableToRenameStatusFile);
  }
}

void InstallerController::removeWorkingDirectory() {
  if (_installerWorkingDirectory.empty()) return;
  const int error = FileOperations::removePath(_installerWorkingDirectory);
  logOperation("    o", error, "rm -rf " + quoted(_installerWorkingDirectory));
  _installerWorkingDirectory.clear();
  _packageWorkingDirectory.clear();
}

}  // namespace hc::installer
