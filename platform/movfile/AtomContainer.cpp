#include "platform/movfile/AtomContainer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/movfile/MovByteReader.h"

namespace hc::movfile {

namespace {

constexpr uint64_t kMaxAtomSize = std::numeric_limits<uint32_t>::max();

}  // namespace

AtomContainer::AtomContainer() {
  Node root;
  root.type = kRootType;
  root.id = kRootId;
  nodes_.push_back(std::move(root));
}

const AtomContainer::TypeGroup* AtomContainer::FindGroup(const Node& node, uint32_t type) const {
  auto it = std::lower_bound(node.groups.begin(), node.groups.end(), type,
                             [](const TypeGroup& group, uint32_t t) { return group.type < t; });
  return it != node.groups.end() && it->type == type ? &*it : nullptr;
}

AtomContainer::TypeGroup& AtomContainer::GroupFor(Node& node, uint32_t type) {
  auto it = std::lower_bound(node.groups.begin(), node.groups.end(), type,
                             [](const TypeGroup& group, uint32_t t) { return group.type < t; });
  if (it != node.groups.end() && it->type == type) return *it;
  TypeGroup group;
  group.type = type;
  return *node.groups.insert(it, std::move(group));
}

AtomContainer::Atom AtomContainer::FindInGroup(const TypeGroup& group, uint32_t id) const {
  if (group.idsAscending) {
    auto it = std::lower_bound(group.ids.begin(), group.ids.end(), id);
    return it != group.ids.end() && *it == id ? group.atoms[static_cast<size_t>(it - group.ids.begin())] : kNoAtom;
  }
  if (!group.byIdValid) {
    group.byId.clear();
    group.byId.reserve(group.atoms.size());
    for (size_t i = 0; i < group.atoms.size(); ++i) group.byId.emplace_back(group.ids[i], group.atoms[i]);
    // Stable, so that among equal ids the first inserted is found.
    std::stable_sort(group.byId.begin(), group.byId.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    group.byIdValid = true;
  }
  auto it = std::lower_bound(group.byId.begin(), group.byId.end(), id,
                             [](const auto& entry, uint32_t wanted) { return entry.first < wanted; });
  return it != group.byId.end() && it->first == id ? it->second : kNoAtom;
}

uint32_t AtomContainer::UnusedId(const Node& parent, uint32_t type) const {
  const TypeGroup* group = FindGroup(parent, type);
  if (!group) return 1;
  const uint32_t highest = group->ids.empty() ? 0 : *std::max_element(group->ids.begin(), group->ids.end());
  if (highest < std::numeric_limits<uint32_t>::max()) return highest + 1;
  // Every high id taken: the lowest free one (fewer siblings than ids exist).
  for (uint32_t candidate = 1;; ++candidate) {
    if (FindInGroup(*group, candidate) == kNoAtom) return candidate;
  }
}

void AtomContainer::AppendNode(Atom parent, uint32_t type, uint32_t id, std::span<const uint8_t> data) {
  const Atom atom = static_cast<Atom>(nodes_.size());
  Node node;
  node.type = type;
  node.id = id;
  node.depth = nodes_[parent].depth + 1;
  node.dataOffset = data_.size();
  node.dataSize = static_cast<uint32_t>(data.size());
  data_.insert(data_.end(), data.begin(), data.end());
  nodes_.push_back(std::move(node));

  Node& owner = nodes_[parent];
  owner.children.push_back(atom);
  TypeGroup& group = GroupFor(owner, type);
  if (!group.ids.empty() && group.ids.back() >= id) group.idsAscending = false;
  group.atoms.push_back(atom);
  group.ids.push_back(id);
  group.byIdValid = false;
}

MovErr AtomContainer::InsertChild(Atom parent, uint32_t type, uint32_t id, std::span<const uint8_t> data,
                                            Atom* newAtom) {
  if (!IsValidAtom(parent)) return MovErr::CannotFindAtom;
  const Node& owner = nodes_[parent];
  if (owner.dataSize > 0) return MovErr::NotLeafAtom;
  if (owner.children.size() >= kMaxChildren) return MovErr::TooManyChildren;
  if (owner.depth + 1 > kMaxDepth) return MovErr::NestingTooDeep;
  if (data.size() > kMaxAtomSize - kAtomHeaderSize) return MovErr::SizeTooLarge;
  const TypeGroup* group = FindGroup(owner, type);
  if (id == 0) {
    id = UnusedId(owner, type);
  } else if (group && !(group->idsAscending && id > group->ids.back()) && FindInGroup(*group, id) != kNoAtom) {
    // (Ids appended in ascending order, the usual case, need no search.)
    return MovErr::DuplicateAtomTypeAndId;
  }
  AppendNode(parent, type, id, data);
  if (newAtom) *newAtom = static_cast<Atom>(nodes_.size() - 1);
  return MovErr::Ok;
}

size_t AtomContainer::CountChildren(Atom parent) const {
  return IsValidAtom(parent) ? nodes_[parent].children.size() : 0;
}

size_t AtomContainer::CountChildrenOfType(Atom parent, uint32_t type) const {
  if (!IsValidAtom(parent)) return 0;
  const TypeGroup* group = FindGroup(nodes_[parent], type);
  return group ? group->atoms.size() : 0;
}

AtomContainer::Atom AtomContainer::FindChildByIndex(Atom parent, uint32_t type, size_t index, uint32_t* id) const {
  if (!IsValidAtom(parent) || index == 0) return kNoAtom;
  const TypeGroup* group = FindGroup(nodes_[parent], type);
  if (!group || index > group->atoms.size()) return kNoAtom;
  const Atom atom = group->atoms[index - 1];
  if (id) *id = nodes_[atom].id;
  return atom;
}

AtomContainer::Atom AtomContainer::FindChildByID(Atom parent, uint32_t type, uint32_t id) const {
  if (!IsValidAtom(parent)) return kNoAtom;
  const TypeGroup* group = FindGroup(nodes_[parent], type);
  return group ? FindInGroup(*group, id) : kNoAtom;
}

MovErr AtomContainer::GetAtomData(Atom atom, std::span<const uint8_t>* data) const {
  if (!data) return MovErr::BadArgument;
  if (!IsValidAtom(atom)) return MovErr::CannotFindAtom;
  const Node& node = nodes_[atom];
  if (!node.children.empty()) return MovErr::NotLeafAtom;
  *data = DataOf(node);
  return MovErr::Ok;
}

uint32_t AtomContainer::GetAtomType(Atom atom) const { return IsValidAtom(atom) ? nodes_[atom].type : 0; }
uint32_t AtomContainer::GetAtomId(Atom atom) const { return IsValidAtom(atom) ? nodes_[atom].id : 0; }

MovErr AtomContainer::Flatten(std::vector<uint8_t>* out) const {
  if (!out) return MovErr::BadArgument;
  // Children always come after their parent, so one backward pass sizes
  // every subtree.
  std::vector<uint64_t> sizes(nodes_.size());
  for (size_t i = nodes_.size(); i-- > 0;) {
    const Node& node = nodes_[i];
    uint64_t size = kAtomHeaderSize + node.dataSize;
    for (Atom child : node.children) size += sizes[child];
    if (size > kMaxAtomSize) return MovErr::SizeTooLarge;
    sizes[i] = size;
  }

  // Written in place: the size of everything is known.
  std::vector<uint8_t> bytes(kHeaderSize + sizes[kRootAtom]);  // header: zeros, lock count 0
  uint8_t* at = bytes.data() + kHeaderSize;
  auto put32 = [&at](uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
    at += 4;
  };
  // Depth first, children in insertion order.
  std::vector<Atom> pending{kRootAtom};
  while (!pending.empty()) {
    const Atom atom = pending.back();
    pending.pop_back();
    const Node& node = nodes_[atom];
    put32(static_cast<uint32_t>(sizes[atom]));
    put32(node.type);
    put32(node.id);
    put32(static_cast<uint32_t>(node.children.size()));  // 16 reserved bits, then the count
    put32(0);
    const std::span<const uint8_t> data = DataOf(node);
    if (!data.empty()) std::memcpy(at, data.data(), data.size());
    at += data.size();
    pending.insert(pending.end(), node.children.rbegin(), node.children.rend());
  }
  *out = std::move(bytes);
  return MovErr::Ok;
}

namespace {

struct AtomHeader {
  uint32_t size = 0;
  uint32_t type = 0;
  uint32_t id = 0;
  uint16_t childCount = 0;
};

// The header at the start of bytes; false when it doesn't fit or its size
// doesn't lie within bytes.
bool ReadAtomHeader(std::span<const uint8_t> bytes, AtomHeader* header) {
  MovByteReader reader(bytes);
  header->size = reader.U32();
  header->type = reader.U32();
  header->id = reader.U32();
  reader.U16();
  header->childCount = reader.U16();
  reader.U32();
  return reader.Ok() && header->size >= AtomContainer::kAtomHeaderSize && header->size <= bytes.size();
}

}  // namespace

MovErr AtomContainer::ParseChildren(std::span<const uint8_t> bytes, size_t childCount, Atom parent,
                                              AtomContainer& container) {
  const uint32_t depth = container.nodes_[parent].depth + 1;
  if (depth > kMaxDepth) return MovErr::NestingTooDeep;
  size_t offset = 0;
  for (size_t i = 0; i < childCount; ++i) {
    AtomHeader header;
    if (!ReadAtomHeader(bytes.subspan(offset), &header)) return MovErr::InvalidAtomContainer;
    const auto payload = bytes.subspan(offset + kAtomHeaderSize, header.size - kAtomHeaderSize);
    container.AppendNode(parent, header.type, header.id,
                         header.childCount == 0 ? payload : std::span<const uint8_t>());
    if (header.childCount > 0) {
      const Atom child = static_cast<Atom>(container.nodes_.size() - 1);
      const MovErr err = ParseChildren(payload, header.childCount, child, container);
      if (MovFailed(err)) return err;
    }
    offset += header.size;
  }
  // The children fill their parent exactly.
  return offset == bytes.size() ? MovErr::Ok : MovErr::InvalidAtomContainer;
}

MovErr AtomContainer::Parse(std::span<const uint8_t> bytes, AtomContainer* out) {
  if (!out) return MovErr::BadArgument;
  if (bytes.size() < kHeaderSize + kAtomHeaderSize) return MovErr::InvalidAtomContainer;
  const auto atoms = bytes.subspan(kHeaderSize);
  AtomHeader root;
  if (!ReadAtomHeader(atoms, &root)) return MovErr::InvalidAtomContainer;

  AtomContainer container;
  container.data_.reserve(bytes.size());
  container.nodes_.reserve(bytes.size() / kAtomHeaderSize / 2 + 1);
  container.nodes_[kRootAtom].type = root.type;
  container.nodes_[kRootAtom].id = root.id;
  const auto payload = atoms.subspan(kAtomHeaderSize, root.size - kAtomHeaderSize);
  if (root.childCount == 0) {
    Node& rootNode = container.nodes_[kRootAtom];
    rootNode.dataOffset = container.data_.size();
    rootNode.dataSize = static_cast<uint32_t>(payload.size());
    container.data_.insert(container.data_.end(), payload.begin(), payload.end());
  } else {
    const MovErr err = ParseChildren(payload, root.childCount, kRootAtom, container);
    if (MovFailed(err)) return err;
  }
  *out = std::move(container);
  return MovErr::Ok;
}

}  // namespace hc::movfile
