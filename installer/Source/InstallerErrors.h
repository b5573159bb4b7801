#pragma once

namespace hc::installer {

// The result codes of one installation, in the order the status file and the
// exit status report them. Their names are listed by
// InstallerController::installerErrorArray().
enum eInstallerError : int {
  KsInstallerNoError = 0,
  KsInstallerUnableToCreateWorkingDirectory = 1,
  KsFileVerifyPermissionsRepairFailure = 2,
  KsFileVerifyFileSizeMismatch = 3,
  KsFileVerifyFingerprintMismatch = 4,
  KsFileVerifyFileTypeMismatchRegular = 5,
  KsFileVerifyLinkMismatch = 6,
  KsFileVerifyFileTypeMismatchLink = 7,
  KsFileVerifyFileMissing = 8,
  KsPackageBOMNotFound = 9,
  KsPackageRemoveUnpackagedPackage = 10,
  KsPackageUnpackageFailed = 11,
  KsPackageMoveFailed = 12,
  KsPackageDecompressFailed = 13,
  KsPackageCopyFailed = 14,
  KsPackageNotFound = 15,
  KsDuplicateOriginalDeleteTempDirectoryFailed = 16,
  KsDuplicateOriginalMoveFailed = 17,
  KsDuplicateOriginalGnutarFailed = 18,
  KsDuplicateOriginalMakeTempDirectoryFailed = 19,
  KsReplaceOriginalDeleteOriginalFailed = 20,
  KsReplaceOriginalMoveNewFailed = 21,
  KsReplaceOriginalMoveOriginalFailed = 22,
  KsInstallRemoveFileFailed = 23,
  KsInstallReplaceRemoveFileFailed = 24,
  KsInstallReplaceUnknownFileType = 25,
  KsInstallReplaceCopyFileFailed = 26,
  KsInstallAddUnknownFileType = 27,
  KsInstallAddFileFailed = 28,
  KsInstallerUnableToRemoveWorkingDirectory = 29,
  KsInstallerUnableToRemovePackageFile = 30,
  KsInstallerUnableToWriteStatusToUpdateDefinitionFile = 31,
  KsInstallerUnableToRenameStatusFile = 32,
};

inline constexpr int kInstallerErrorCount = 33;

}  // namespace hc::installer
