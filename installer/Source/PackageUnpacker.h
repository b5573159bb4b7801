#pragma once

#include <string>

namespace hc::installer {

// Unpacks update packages with libarchive: a gzip-compressed file is
// decompressed beside itself, and a tar archive is extracted into a folder.
// Results are errno values (0 on success) with the reason in problem.
class PackageUnpacker {
 public:
  // The name gunzip gives the decompressed file: ".tgz" and ".taz" become
  // ".tar"; ".gz", "-gz", ".z", "-z" and "_z" are dropped; empty for a name
  // with none of these suffixes.
  static std::string decompressedName(const std::string& compressedName);

  // Decompresses the gzip file at compressedPath into the new file at
  // outputPath and removes the compressed file, as gunzip does.
  static int gunzip(const std::string& compressedPath, const std::string& outputPath,
                    std::string& problem);

  // Extracts the tar archive at archivePath below destination. Refused, with
  // nothing further extracted: members named by an absolute path or with
  // "..", hard links, symbolic links whose target leaves the package, members
  // other than files, folders and links, and anything to be written through a
  // link. Modes are masked: no set-id or sticky bit, nothing writable by all.
  static int extractTar(const std::string& archivePath, const std::string& destination,
                        std::string& problem);
};

}  // namespace hc::installer
