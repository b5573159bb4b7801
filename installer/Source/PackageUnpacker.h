#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace hc::installer {

// Unpacks update packages (gzip-compressed tar archives) with libarchive,
// straight from the compressed file: the archive is never written out
// decompressed, and of its members only the bill of materials and the
// files the bill names are written. Every member is judged all the same:
// names that leave the package, hard links, members other than files,
// folders and links, members below a link and links that lead outside the
// package (followed through the package's other links) refuse the package.
class PackageUnpacker {
 public:
  // Most members a package may hold.
  static constexpr std::size_t kMaxMembers = 100000;
  // Longest member name and link target, in bytes.
  static constexpr std::size_t kMaxNameBytes = 4096;
  // Deepest folder nesting of a member.
  static constexpr std::size_t kMaxDepth = 256;
  // Most bytes the members of any package may hold together.
  static constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{4} << 30;
  // What a package may hold beyond its bill and the sizes the bill lists.
  static constexpr std::uint64_t kUnpackedMargin = std::uint64_t{16} << 20;
  // Components the link judgement may take over a whole package.
  static constexpr std::size_t kLinkSteps = 1000000;

  // What the bill of materials asks to be unpacked.
  struct Listing {
    // Member paths (components joined by slashes) and the largest size the
    // bill lists for each.
    std::map<std::string, std::uint64_t> files;
    // Most bytes all members of the package may hold together.
    std::uint64_t allowedBytes = 0;
  };
  // Reads the bill's text once it is unpacked; none refuses the package
  // (the reader says why).
  using BillReader = std::function<std::optional<Listing>(const std::string& billText)>;

  enum class Result {
    Unpacked,
    NoBill,          // no regular file named as the bill at the package's top
    BillRefused,     // the bill reader refused the bill
    Refused,         // problem says why
    MemberTooLarge,  // member holds memberBytes, more than the listedBytes the bill lists
  };
  struct Report {
    Result result = Result::Unpacked;
    std::string problem;
    std::string member;
    std::uint64_t memberBytes = 0;
    std::uint64_t listedBytes = 0;
  };

  // The name gunzip gives the decompressed file: ".tgz" and ".taz" become
  // ".tar"; ".gz", "-gz", ".z", "-z" and "_z" are dropped; empty for a name
  // with none of these suffixes.
  static std::string decompressedName(const std::string& compressedName);

  // 0 when the file at packagePath is gzip-compressed, else an errno value
  // with the reason in problem.
  static int checkCompressed(const std::string& packagePath, std::string& problem);

  // Unpacks into destination the member billName at the package's top and
  // then the members listed by what readBill answers, refusing a package
  // whose members hold more bytes than the listing allows (or more than
  // kMaxUnpackedBytes). Modes are masked: no set-id or sticky bit, nothing
  // writable by all.
  static Report unpack(const std::string& packagePath, const std::string& billName,
                       const std::string& destination, const BillReader& readBill);
};

}  // namespace hc::installer
