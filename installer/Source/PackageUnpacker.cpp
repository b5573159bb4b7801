#include "installer/Source/PackageUnpacker.h"

#include "installer/Source/FileOperations.h"
#include "installer/Source/PathRules.h"
#include "installer/Source/UniqueFd.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace hc::installer {

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

struct ArchiveFree {
  void operator()(archive* reader) const { archive_read_free(reader); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveFree>;

bool endsWith(const std::string& text, std::string_view suffix) {
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string archiveProblem(archive* reader, const std::string& what) {
  const char* detail = archive_error_string(reader);
  return what + (detail ? ": " + std::string(detail) : std::string());
}

int writeAllAt(int fd, const char* bytes, std::size_t count, off_t offset) {
  while (count > 0) {
    const ssize_t written = ::pwrite(fd, bytes, count, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno ? errno : EIO;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
    offset += written;
  }
  return 0;
}

// The member's name relative to the package, without a leading "./"; empty
// for the package folder itself.
std::string memberName(const char* pathname) {
  std::string name = pathname ? pathname : "";
  while (name.rfind("./", 0) == 0) name.erase(0, 2);
  while (!name.empty() && name.back() == '/') name.pop_back();
  return name == "." ? std::string() : name;
}

struct DeferredFolder {
  std::string name;
  mode_t mode;
  timespec modified;
};

class TarExtractor {
 public:
  TarExtractor(archive* reader, int rootFd, std::string& problem)
      : reader_(reader), rootFd_(rootFd), problem_(problem) {}

  int extract() {
    for (;;) {
      archive_entry* entry = nullptr;
      const int status = archive_read_next_header(reader_, &entry);
      if (status == ARCHIVE_EOF) break;
      if (status < ARCHIVE_WARN) {
        problem_ = archiveProblem(reader_, "The package archive cannot be read");
        return EINVAL;
      }
      if (int error = extractMember(entry)) return error;
    }
    return applyFolderModes();
  }

 private:
  int refuse(const std::string& name, const std::string& reason) {
    problem_ = "Package member \"" + name + "\" " + reason;
    return EPERM;
  }

  int failed(const std::string& name, int error) {
    if (error == ELOOP) return refuse(name, "would be written through a symbolic link.");
    if (error == EXDEV) return refuse(name, "lies outside the package.");
    problem_ = "Package member \"" + name + "\" could not be extracted: " + std::strerror(error);
    return error;
  }

  int extractMember(archive_entry* entry) {
    const char* rawName = archive_entry_pathname(entry);
    const std::string name = memberName(rawName);
    const std::string shown = rawName ? rawName : "";
    if (rawName && rawName[0] == '/') return refuse(shown, "lies outside the package.");
    if (archive_entry_hardlink(entry)) return refuse(shown, "is a hard link.");
    const mode_t type = archive_entry_filetype(entry);
    if (name.empty()) return type == AE_IFDIR ? 0 : refuse(shown, "has no name.");
    if (!PathRules::isContainedRelativePath(name)) return refuse(shown, "lies outside the package.");
    const mode_t mode = archive_entry_perm(entry) & FileOperations::kPackageModeMask;
    switch (type) {
      case AE_IFREG:
        return extractFile(entry, name, mode);
      case AE_IFDIR:
        return extractFolder(entry, name, mode);
      case AE_IFLNK:
        return extractLink(entry, name);
      default:
        return refuse(shown, "is neither a file, a folder nor a symbolic link.");
    }
  }

  int extractFile(archive_entry* entry, const std::string& name, mode_t mode) {
    UniqueFd file;
    if (int error = FileOperations::createFile(rootFd_, name, file)) return failed(name, error);
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    for (;;) {
      const int status = archive_read_data_block(reader_, &block, &size, &offset);
      if (status == ARCHIVE_EOF) break;
      if (status < ARCHIVE_WARN) {
        problem_ = archiveProblem(reader_, "Package member \"" + name + "\" cannot be read");
        return EIO;
      }
      if (int error = writeAllAt(file.get(), static_cast<const char*>(block), size,
                                 static_cast<off_t>(offset))) {
        return failed(name, error);
      }
    }
    if (::ftruncate(file.get(), static_cast<off_t>(archive_entry_size(entry))) != 0 ||
        ::fchmod(file.get(), mode) != 0) {
      return failed(name, errno);
    }
    const timespec times[2] = {{archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)},
                               {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)}};
    ::futimens(file.get(), times);
    return 0;
  }

  int extractFolder(archive_entry* entry, const std::string& name, mode_t mode) {
    UniqueFd parent;
    std::string leaf;
    if (int error = FileOperations::openParent(rootFd_, name, true, parent, leaf)) {
      return failed(name, error);
    }
    if (::mkdirat(parent.get(), leaf.c_str(), 0700) != 0 && errno != EEXIST) {
      return failed(name, errno);
    }
    struct stat info;
    if (::fstatat(parent.get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      return failed(name, errno);
    }
    if (S_ISLNK(info.st_mode)) return failed(name, ELOOP);
    if (!S_ISDIR(info.st_mode)) return failed(name, ENOTDIR);
    // Modes of folders are set at the end, so that a read-only folder does
    // not stop its own members from being extracted.
    folders_.push_back({name, mode, {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)}});
    return 0;
  }

  int extractLink(archive_entry* entry, const std::string& name) {
    const char* target = archive_entry_symlink(entry);
    if (!target || !PathRules::linkStaysInside(name, target, "")) {
      return refuse(name, "is a symbolic link that leaves the package.");
    }
    UniqueFd parent;
    std::string leaf;
    if (int error = FileOperations::openParent(rootFd_, name, true, parent, leaf)) {
      return failed(name, error);
    }
    if (::symlinkat(target, parent.get(), leaf.c_str()) != 0) return failed(name, errno);
    return 0;
  }

  int applyFolderModes() {
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
      UniqueFd parent;
      std::string leaf;
      if (int error = FileOperations::openParent(rootFd_, folder->name, false, parent, leaf)) {
        return failed(folder->name, error);
      }
      const timespec times[2] = {folder->modified, folder->modified};
      if (::fchmodat(parent.get(), leaf.c_str(), folder->mode, 0) != 0) {
        return failed(folder->name, errno);
      }
      ::utimensat(parent.get(), leaf.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    return 0;
  }

  archive* reader_;
  int rootFd_;
  std::string& problem_;
  std::vector<DeferredFolder> folders_;
};

}  // namespace

std::string PackageUnpacker::decompressedName(const std::string& compressedName) {
  for (const char* suffix : {".tgz", ".taz"}) {
    if (endsWith(compressedName, suffix)) {
      return compressedName.substr(0, compressedName.size() - 4) + ".tar";
    }
  }
  for (std::string_view suffix : {".gz", "-gz", ".z", "-z", "_z"}) {
    if (endsWith(compressedName, suffix)) {
      return compressedName.substr(0, compressedName.size() - suffix.size());
    }
  }
  return std::string();
}

int PackageUnpacker::gunzip(const std::string& compressedPath, const std::string& outputPath,
                            std::string& problem) {
  ArchiveReader reader(archive_read_new());
  if (!reader) return ENOMEM;
  archive_read_support_filter_gzip(reader.get());
  archive_read_support_format_raw(reader.get());
  if (archive_read_open_filename(reader.get(), compressedPath.c_str(), kReadBlock) != ARCHIVE_OK) {
    problem = archiveProblem(reader.get(), "The package cannot be opened");
    return EIO;
  }
  archive_entry* entry = nullptr;
  if (archive_read_next_header(reader.get(), &entry) != ARCHIVE_OK ||
      archive_filter_code(reader.get(), 0) != ARCHIVE_FILTER_GZIP) {
    problem = "The package is not gzip-compressed.";
    return EINVAL;
  }
  UniqueFd output(::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         0600));
  if (!output.valid()) {
    const int error = errno;
    problem = "Cannot create " + outputPath + ": " + std::strerror(error);
    return error;
  }
  std::vector<char> block(kReadBlock);
  off_t written = 0;
  for (;;) {
    const la_ssize_t count = archive_read_data(reader.get(), block.data(), block.size());
    if (count == 0) break;
    if (count < 0) {
      problem = archiveProblem(reader.get(), "The package cannot be decompressed");
      ::unlink(outputPath.c_str());
      return EIO;
    }
    if (int error = writeAllAt(output.get(), block.data(), static_cast<std::size_t>(count),
                               written)) {
      problem = "Cannot write " + outputPath + ": " + std::strerror(error);
      return error;
    }
    written += count;
  }
  if (::unlink(compressedPath.c_str()) != 0) {
    const int error = errno;
    problem = "Cannot remove " + compressedPath + ": " + std::strerror(error);
    return error;
  }
  return 0;
}

int PackageUnpacker::extractTar(const std::string& archivePath, const std::string& destination,
                                std::string& problem) {
  UniqueFd root;
  if (int error = FileOperations::openRoot(destination, root)) {
    problem = "Cannot open " + destination + ": " + std::strerror(error);
    return error;
  }
  ArchiveReader reader(archive_read_new());
  if (!reader) return ENOMEM;
  archive_read_support_format_tar(reader.get());
  archive_read_support_format_gnutar(reader.get());
  if (archive_read_open_filename(reader.get(), archivePath.c_str(), kReadBlock) != ARCHIVE_OK) {
    problem = archiveProblem(reader.get(), "The package archive cannot be opened");
    return EIO;
  }
  return TarExtractor(reader.get(), root.get(), problem).extract();
}

}  // namespace hc::installer
