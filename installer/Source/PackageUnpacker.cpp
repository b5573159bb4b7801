#include "installer/Source/PackageUnpacker.h"

#include "installer/Source/BOMXML.h"
#include "installer/Source/FileOperations.h"
#include "installer/Source/LinkResolver.h"
#include "installer/Source/PackageLinks.h"
#include "installer/Source/PathRules.h"
#include "installer/Source/UniqueFd.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

using Report = PackageUnpacker::Report;
using Result = PackageUnpacker::Result;

bool endsWith(const std::string& text, std::string_view suffix) {
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string archiveProblem(archive* reader, const std::string& what) {
  const char* detail = archive_error_string(reader);
  return what + (detail ? ": " + std::string(detail) : std::string());
}

Report reportOf(Result result, std::string problem = std::string()) {
  Report report;
  report.result = result;
  report.problem = std::move(problem);
  return report;
}

Report refused(std::string problem) { return reportOf(Result::Refused, std::move(problem)); }

Report refusedMember(const std::string& name, const std::string& reason) {
  return refused("Package member \"" + name + "\" " + reason);
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

std::string joinedComponents(const std::vector<std::string>& components) {
  std::string joined;
  for (const std::string& component : components) {
    if (!joined.empty()) joined += '/';
    joined += component;
  }
  return joined;
}

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// Opens the compressed package for reading member by member.
ArchiveReader openPackage(const std::string& packagePath, std::string& problem) {
  ArchiveReader reader(archive_read_new());
  if (!reader) {
    problem = "The package archive cannot be opened: out of memory";
    return nullptr;
  }
  archive_read_support_filter_gzip(reader.get());
  archive_read_support_format_tar(reader.get());
  archive_read_support_format_gnutar(reader.get());
  if (archive_read_open_filename(reader.get(), packagePath.c_str(), kReadBlock) != ARCHIVE_OK) {
    problem = archiveProblem(reader.get(), "The package archive cannot be opened");
    return nullptr;
  }
  return reader;
}

// One member as the passes see it: its name as written in the archive and
// its components below the package (none for the package folder itself).
struct Member {
  std::string shown;
  std::vector<std::string> components;
  std::string name;  // components joined by slashes
  mode_t type = 0;
};

// Writes the data of the current member to the new file relative below
// rootFd, at most declared bytes, with its mode (masked) and time.
int writeMember(archive* reader, archive_entry* entry, int rootFd, const std::string& relative,
                std::string& problem) {
  UniqueFd file;
  if (int error = FileOperations::createFile(rootFd, relative, file)) return error;
  const auto declared = static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(entry), 0));
  const void* block = nullptr;
  size_t size = 0;
  la_int64_t offset = 0;
  for (;;) {
    const int status = archive_read_data_block(reader, &block, &size, &offset);
    if (status == ARCHIVE_EOF) break;
    if (status < ARCHIVE_WARN) {
      problem = archiveProblem(reader, "Package member \"" + relative + "\" cannot be read");
      return EIO;
    }
    if (offset < 0 || static_cast<std::uint64_t>(offset) > declared ||
        size > declared - static_cast<std::uint64_t>(offset)) {
      problem = "Package member \"" + relative + "\" holds more than its declared size.";
      return EFBIG;
    }
    if (int error = writeAllAt(file.get(), static_cast<const char*>(block), size,
                               static_cast<off_t>(offset))) {
      return error;
    }
  }
  const mode_t mode = archive_entry_perm(entry) & FileOperations::kPackageModeMask;
  if (::ftruncate(file.get(), static_cast<off_t>(declared)) != 0 || ::fchmod(file.get(), mode) != 0) {
    return errno ? errno : EIO;
  }
  const timespec times[2] = {{archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)},
                             {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)}};
  ::futimens(file.get(), times);
  return 0;
}

std::string writeFailure(const std::string& name, int error, const std::string& problem) {
  if (!problem.empty()) return problem;
  if (error == ELOOP) {
    return "Package member \"" + name + "\" would be written through a symbolic link.";
  }
  return "Package member \"" + name + "\" could not be extracted: " + std::strerror(error);
}

// The first pass: judges every member, unpacks the bill and hands it to the
// bill reader, records the links and counts the bytes of all members.
class PackageScan {
 public:
  PackageScan(archive* reader, int rootFd, const std::string& billName,
              const PackageUnpacker::BillReader& readBill)
      : reader_(reader), rootFd_(rootFd), billName_(billName), readBill_(readBill) {}

  Report run(PackageUnpacker::Listing& listing) {
    for (std::size_t count = 0;; ++count) {
      archive_entry* entry = nullptr;
      const int status = archive_read_next_header(reader_, &entry);
      if (status == ARCHIVE_EOF) break;
      if (status < ARCHIVE_WARN) {
        return refused(archiveProblem(reader_, "The package archive cannot be read"));
      }
      if (count >= PackageUnpacker::kMaxMembers) {
        return refused("The package holds more than " +
                       std::to_string(PackageUnpacker::kMaxMembers) + " members.");
      }
      Member member;
      Report report = judge(entry, member);
      if (report.result != Result::Unpacked) return report;
      if (member.type == AE_IFLNK) {
        if (!links_.add(member.components, archive_entry_symlink(entry))) {
          return refusedMember(member.shown, "would be written through a symbolic link.");
        }
      } else if (member.type == AE_IFREG) {
        report = countBytes(entry, member, listing);
        if (report.result != Result::Unpacked) return report;
      }
    }
    Report report = judgeLinks();
    if (report.result != Result::Unpacked) return report;
    if (!billFound_) return reportOf(Result::NoBill);
    return {};
  }

 private:
  Report judge(archive_entry* entry, Member& member) const {
    const char* rawName = archive_entry_pathname(entry);
    if (!rawName) return refused("A package member has a name that cannot be read.");
    member.shown = rawName;
    if (member.shown.size() > PackageUnpacker::kMaxNameBytes) {
      return refusedMember(member.shown.substr(0, 64) + "...", "has too long a name.");
    }
    if (rawName[0] == '/') return refusedMember(member.shown, "lies outside the package.");
    if (archive_entry_hardlink(entry)) return refusedMember(member.shown, "is a hard link.");
    member.type = archive_entry_filetype(entry);
    auto components = PathRules::containedComponents(member.shown);
    if (!components) {
      // "." and "./" name the package folder itself.
      const bool packageFolder = member.shown.find_first_not_of("./") == std::string::npos &&
                                 member.shown.find("..") == std::string::npos;
      if (packageFolder) {
        return member.type == AE_IFDIR ? Report{} : refusedMember(member.shown, "has no name.");
      }
      return refusedMember(member.shown, "lies outside the package.");
    }
    if (components->size() > PackageUnpacker::kMaxDepth) {
      return refusedMember(member.shown, "lies too deep in folders.");
    }
    member.components = std::move(*components);
    member.name = joinedComponents(member.components);
    if (member.type != AE_IFREG && member.type != AE_IFDIR && member.type != AE_IFLNK) {
      return refusedMember(member.shown, "is neither a file, a folder nor a symbolic link.");
    }
    if (links_.passesThroughLink(member.components)) {
      return refusedMember(member.shown, "would be written through a symbolic link.");
    }
    if (member.type == AE_IFLNK) {
      const char* target = archive_entry_symlink(entry);
      if (!target || std::strlen(target) > PackageUnpacker::kMaxNameBytes ||
          !PathRules::linkStaysInside(member.name, target, "")) {
        return refusedMember(member.shown, "is a symbolic link that leaves the package.");
      }
    }
    return {};
  }

  Report countBytes(archive_entry* entry, const Member& member, PackageUnpacker::Listing& listing) {
    const auto size = static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(entry), 0));
    totalBytes_ = saturatingAdd(totalBytes_, size);
    if (Report report = checkTotal(); report.result != Result::Unpacked) return report;
    if (billFound_ || member.name != billName_) return {};
    billFound_ = true;
    return unpackBill(entry, size, listing);
  }

  // The bill is read into memory, written where the package would put it
  // and handed to the bill reader, whose listing then bounds the package.
  Report unpackBill(archive_entry* entry, std::uint64_t size, PackageUnpacker::Listing& listing) {
    if (size > BOMXML::kMaxBytes) {
      return refused("The bill of materials " + billName_ + " is larger than " +
                     std::to_string(BOMXML::kMaxBytes) + " bytes.");
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
      const la_ssize_t count = archive_read_data(reader_, text.data() + filled, text.size() - filled);
      if (count < 0) return refused(archiveProblem(reader_, "The bill of materials cannot be read"));
      if (count == 0) break;
      filled += static_cast<std::size_t>(count);
    }
    text.resize(filled);
    UniqueFd file;
    int error = FileOperations::createFile(rootFd_, billName_, file);
    if (!error) error = writeAllAt(file.get(), text.data(), text.size(), 0);
    const mode_t mode = archive_entry_perm(entry) & FileOperations::kPackageModeMask;
    if (!error && ::fchmod(file.get(), mode) != 0) error = errno ? errno : EIO;
    if (error) return refused(writeFailure(billName_, error, std::string()));

    auto answer = readBill_(text);
    if (!answer) return reportOf(Result::BillRefused);
    listing = std::move(*answer);
    allowedBytes_ = std::min(listing.allowedBytes, PackageUnpacker::kMaxUnpackedBytes);
    billRead_ = true;
    return checkTotal();
  }

  Report checkTotal() const {
    if (totalBytes_ <= allowedBytes_) return {};
    return refused("The package unpacks to more than " + std::to_string(allowedBytes_) + " bytes" +
                   (billRead_ ? ", more than its bill of materials lists." : "."));
  }

  Report judgeLinks() {
    LinkResolver resolver(
        "", [this](const std::vector<std::string>& path) { return links_.targetAt(path); },
        PackageUnpacker::kLinkSteps);
    for (const std::string& path : links_.paths()) {
      const LinkResolver::Outcome outcome = resolver.resolve(path);
      if (outcome == LinkResolver::Outcome::Outside) {
        return refusedMember(path, "is a symbolic link that leaves the package.");
      }
      if (outcome == LinkResolver::Outcome::Unresolvable) {
        return refusedMember(path, "is a symbolic link that cannot be followed to its end.");
      }
    }
    return {};
  }

  archive* reader_;
  int rootFd_;
  const std::string& billName_;
  const PackageUnpacker::BillReader& readBill_;
  PackageLinks links_;
  std::uint64_t totalBytes_ = 0;
  std::uint64_t allowedBytes_ = PackageUnpacker::kMaxUnpackedBytes;
  bool billFound_ = false;
  bool billRead_ = false;
};

// The second pass: writes the members the listing names, each no larger
// than the bill lists it.
Report extractListed(archive* reader, int rootFd, const std::string& billName,
                     const PackageUnpacker::Listing& listing) {
  for (;;) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(reader, &entry);
    if (status == ARCHIVE_EOF) return {};
    if (status < ARCHIVE_WARN) {
      return refused(archiveProblem(reader, "The package archive cannot be read"));
    }
    if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry)) continue;
    const char* rawName = archive_entry_pathname(entry);
    auto components = rawName ? PathRules::containedComponents(rawName) : std::nullopt;
    if (!components) continue;
    const std::string name = joinedComponents(*components);
    auto listed = listing.files.find(name);
    if (listed == listing.files.end() || name == billName) continue;
    const auto size = static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(entry), 0));
    if (size > listed->second) {
      Report report = reportOf(Result::MemberTooLarge);
      report.member = name;
      report.memberBytes = size;
      report.listedBytes = listed->second;
      return report;
    }
    std::string problem;
    if (int error = writeMember(reader, entry, rootFd, name, problem)) {
      return refused(writeFailure(name, error, problem));
    }
  }
}

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

int PackageUnpacker::checkCompressed(const std::string& packagePath, std::string& problem) {
  ArchiveReader reader(archive_read_new());
  if (!reader) return ENOMEM;
  archive_read_support_filter_gzip(reader.get());
  archive_read_support_format_raw(reader.get());
  if (archive_read_open_filename(reader.get(), packagePath.c_str(), kReadBlock) != ARCHIVE_OK) {
    problem = archiveProblem(reader.get(), "The package cannot be opened");
    return EIO;
  }
  archive_entry* entry = nullptr;
  if (archive_read_next_header(reader.get(), &entry) != ARCHIVE_OK ||
      archive_filter_code(reader.get(), 0) != ARCHIVE_FILTER_GZIP) {
    problem = "The package is not gzip-compressed.";
    return EINVAL;
  }
  return 0;
}

PackageUnpacker::Report PackageUnpacker::unpack(const std::string& packagePath,
                                                const std::string& billName,
                                                const std::string& destination,
                                                const BillReader& readBill) {
  UniqueFd root;
  if (int error = FileOperations::openRoot(destination, root)) {
    return refused("Cannot open " + destination + ": " + std::strerror(error));
  }
  Listing listing;
  std::string problem;
  ArchiveReader reader = openPackage(packagePath, problem);
  if (!reader) return refused(problem);
  Report report = PackageScan(reader.get(), root.get(), billName, readBill).run(listing);
  if (report.result != Result::Unpacked) return report;

  reader = openPackage(packagePath, problem);
  if (!reader) return refused(problem);
  return extractListed(reader.get(), root.get(), billName, listing);
}

}  // namespace hc::installer
