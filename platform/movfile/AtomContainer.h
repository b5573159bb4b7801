#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// A QuickTime atom container held as a tree: typed, numbered atoms below one
// root, each either a leaf holding bytes or a parent holding children in
// insertion order. The flattened form is the published one, all numbers
// big-endian:
//   container header (12 bytes): 10 reserved zero bytes, a 16-bit lock count;
//   the root atom, then every atom: a 20-byte header (32-bit size including
//   the header, type, id, 16 reserved bits, 16-bit child count, 32 reserved
//   bits) followed by its data (a leaf) or its children (a parent).
// The root atom has the type 'sean' and the id 1.
//
// Atoms are named by handles; the root's handle is kRootAtom (0), and the
// look-ups answer kNoAtom (also 0, never a child) when nothing matches.
class AtomContainer {
 public:
  using Atom = uint32_t;
  static constexpr Atom kRootAtom = 0;
  static constexpr Atom kNoAtom = 0;
  static constexpr size_t kHeaderSize = 12;
  static constexpr size_t kAtomHeaderSize = 20;
  static constexpr uint32_t kRootType = 0x7365616E;  // 'sean'
  static constexpr uint32_t kRootId = 1;
  static constexpr size_t kMaxChildren = 0xFFFF;
  // Levels of atoms below the root (its children are level 1).
  static constexpr size_t kMaxDepth = 256;

  AtomContainer();

  // Appends a child to parent. id 0 picks an id not yet used by a sibling of
  // that type. Fails without changing anything when parent is no atom of
  // this container (CannotFindAtom) or holds data (NotLeafAtom), when a
  // sibling of the type already has the id, when the parent already has
  // kMaxChildren children, when the child would lie deeper than kMaxDepth,
  // or when the data alone is past 32-bit atom sizes.
  MovErr InsertChild(Atom parent, uint32_t type, uint32_t id, std::span<const uint8_t> data,
                               Atom* newAtom = nullptr);

  size_t CountChildren(Atom parent) const;
  size_t CountChildrenOfType(Atom parent, uint32_t type) const;
  // The index-th child (from 1) of that type in insertion order, with its id.
  Atom FindChildByIndex(Atom parent, uint32_t type, size_t index, uint32_t* id = nullptr) const;
  // The first child of that type with that id.
  Atom FindChildByID(Atom parent, uint32_t type, uint32_t id) const;

  // A leaf's bytes (empty for an atom without data or children). The span
  // lives until the atom's container changes.
  MovErr GetAtomData(Atom atom, std::span<const uint8_t>* data) const;
  uint32_t GetAtomType(Atom atom) const;
  uint32_t GetAtomId(Atom atom) const;
  bool IsValidAtom(Atom atom) const { return atom < nodes_.size(); }
  // Atoms in the container, the root included.
  size_t AtomCount() const { return nodes_.size(); }

  // The flattened bytes (replacing *out); SizeTooLarge when an atom would
  // not fit its 32-bit size.
  MovErr Flatten(std::vector<uint8_t>* out) const;
  // Reads flattened bytes into *out (replaced only on success). Every size,
  // child count and the nesting depth is checked: InvalidAtomContainer for
  // bytes that don't form a container, NestingTooDeep past kMaxDepth.
  // Bytes after the root atom are ignored.
  static MovErr Parse(std::span<const uint8_t> bytes, AtomContainer* out);

 private:
  // The children of one type under one parent, in insertion order; ids
  // usually ascend, so a look-up by id is a binary search. When they don't,
  // a sorted copy is made on the first look-up.
  struct TypeGroup {
    uint32_t type = 0;
    std::vector<Atom> atoms;
    std::vector<uint32_t> ids;  // the atoms' ids, side by side
    bool idsAscending = true;
    mutable std::vector<std::pair<uint32_t, Atom>> byId;
    mutable bool byIdValid = false;
  };
  // Leaf bytes live side by side in one store, so that a large container
  // is not a heap block per atom.
  struct Node {
    uint32_t type = 0;
    uint32_t id = 0;
    uint32_t depth = 0;
    uint32_t dataSize = 0;
    uint64_t dataOffset = 0;
    std::vector<Atom> children;
    std::vector<TypeGroup> groups;  // sorted by type
  };

  std::span<const uint8_t> DataOf(const Node& node) const {
    return std::span<const uint8_t>(data_.data() + node.dataOffset, node.dataSize);
  }

  const TypeGroup* FindGroup(const Node& node, uint32_t type) const;
  TypeGroup& GroupFor(Node& node, uint32_t type);
  Atom FindInGroup(const TypeGroup& group, uint32_t id) const;
  uint32_t UnusedId(const Node& parent, uint32_t type) const;
  void AppendNode(Atom parent, uint32_t type, uint32_t id, std::span<const uint8_t> data);
  static MovErr ParseChildren(std::span<const uint8_t> bytes, size_t childCount, Atom parent,
                                        AtomContainer& container);

  std::vector<Node> nodes_;
  std::vector<uint8_t> data_;
};

}  // namespace hc::movfile
