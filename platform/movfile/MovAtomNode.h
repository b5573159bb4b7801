#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// One atom of a movie header held in memory. The structural containers
// (moov, trak, mdia, minf, stbl, edts, dinf, tapt) hold their children;
// every other atom is a leaf that keeps the bytes it was read with, header
// included, so that writing the tree back changes only what was changed.
class MovAtomNode {
 public:
  static constexpr size_t kMaxDepth = 16;
  static constexpr size_t kMaxNodes = 1u << 20;

  // Reads a whole atom (header and payload) and, for containers, its subtree.
  static MovErr Parse(std::span<const uint8_t> atomBytes, MovAtomNode& node);
  static bool IsContainerType(uint32_t type);

  static MovAtomNode Leaf(uint32_t type, std::span<const uint8_t> payload);
  static MovAtomNode Container(uint32_t type);

  uint32_t Type() const { return type_; }
  bool IsContainer() const { return container_; }

  // Leaf payload (empty for a container).
  std::span<const uint8_t> Payload() const;
  // Replaces a leaf's payload; the header is rewritten to fit.
  void SetPayload(std::span<const uint8_t> payload);

  std::vector<MovAtomNode>& Children() { return children_; }
  const std::vector<MovAtomNode>& Children() const { return children_; }
  // The ordinal-th child (from 1) of a type, or null.
  MovAtomNode* FindChild(uint32_t type, size_t ordinal = 1);
  const MovAtomNode* FindChild(uint32_t type, size_t ordinal = 1) const;
  // Follows a path of child types (first match at each level), or null.
  const MovAtomNode* FindPath(std::initializer_list<uint32_t> types) const;
  MovAtomNode* FindPath(std::initializer_list<uint32_t> types);

  uint64_t SerializedSize() const;
  void Serialize(std::vector<uint8_t>& out) const;

 private:
  struct Budget {
    size_t nodes = 0;
  };
  static MovErr ParseInto(std::span<const uint8_t> atomBytes, size_t depth, Budget& budget,
                          MovAtomNode& node);
  uint64_t ChildrenSize() const;

  uint32_t type_ = 0;
  bool container_ = false;
  uint32_t headerSize_ = 8;
  std::vector<uint8_t> raw_;  // leaf: header and payload
  std::vector<MovAtomNode> children_;
};

}  // namespace hc::movfile
