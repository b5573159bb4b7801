#include "platform/movfile/MovAtomNode.h"

#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {

bool MovAtomNode::IsContainerType(uint32_t type) {
  switch (type) {
    case MovFourCC("moov"):
    case MovFourCC("trak"):
    case MovFourCC("mdia"):
    case MovFourCC("minf"):
    case MovFourCC("stbl"):
    case MovFourCC("edts"):
    case MovFourCC("dinf"):
    case MovFourCC("tapt"):
      return true;
    default:
      return false;
  }
}

MovErr MovAtomNode::Parse(std::span<const uint8_t> atomBytes, MovAtomNode& node) {
  Budget budget;
  return ParseInto(atomBytes, 0, budget, node);
}

MovErr MovAtomNode::ParseInto(std::span<const uint8_t> atomBytes, size_t depth, Budget& budget,
                              MovAtomNode& node) {
  if (depth > kMaxDepth || ++budget.nodes > kMaxNodes) return MovErr::InvalidMovie;
  MovAtom atom;
  MovErr err = MovAtomReader::ParseHeader(atomBytes.first(std::min<size_t>(16, atomBytes.size())), 0,
                                          atomBytes.size(), atom);
  if (err != MovErr::Ok) return err;
  if (atom.size != atomBytes.size()) return MovErr::InvalidMovie;
  node = MovAtomNode();
  node.type_ = atom.type;
  node.headerSize_ = atom.headerSize;
  if (!IsContainerType(atom.type)) {
    node.raw_.assign(atomBytes.begin(), atomBytes.end());
    if (atom.extendsToEnd) node.SetPayload(node.Payload());  // store a real size
    return MovErr::Ok;
  }
  node.container_ = true;
  auto payload = atomBytes.subspan(atom.headerSize);
  MovAtomReader reader(payload);
  for (;;) {
    std::optional<MovAtom> child;
    err = reader.Next(child);
    if (err != MovErr::Ok) return err;
    if (!child) break;
    MovAtomNode childNode;
    err = ParseInto(payload.subspan(static_cast<size_t>(child->offset), static_cast<size_t>(child->size)),
                    depth + 1, budget, childNode);
    if (err != MovErr::Ok) return err;
    node.children_.push_back(std::move(childNode));
  }
  return MovErr::Ok;
}

MovAtomNode MovAtomNode::Leaf(uint32_t type, std::span<const uint8_t> payload) {
  MovAtomNode node;
  node.type_ = type;
  node.SetPayload(payload);
  return node;
}

MovAtomNode MovAtomNode::Container(uint32_t type) {
  MovAtomNode node;
  node.type_ = type;
  node.container_ = true;
  return node;
}

std::span<const uint8_t> MovAtomNode::Payload() const {
  if (container_) return {};
  return std::span<const uint8_t>(raw_).subspan(headerSize_);
}

void MovAtomNode::SetPayload(std::span<const uint8_t> payload) {
  std::vector<uint8_t> raw;
  raw.reserve(payload.size() + 16);
  MovByteWriter writer(raw);
  headerSize_ = MovByteWriter::HeaderSizeFor(payload.size());
  writer.AtomHeader(type_, payload.size() + headerSize_);
  writer.Bytes(payload);
  raw_ = std::move(raw);
}

MovAtomNode* MovAtomNode::FindChild(uint32_t type, size_t ordinal) {
  for (auto& child : children_) {
    if (child.type_ == type && --ordinal == 0) return &child;
  }
  return nullptr;
}

const MovAtomNode* MovAtomNode::FindChild(uint32_t type, size_t ordinal) const {
  return const_cast<MovAtomNode*>(this)->FindChild(type, ordinal);
}

MovAtomNode* MovAtomNode::FindPath(std::initializer_list<uint32_t> types) {
  MovAtomNode* node = this;
  for (uint32_t type : types) {
    node = node->FindChild(type);
    if (!node) return nullptr;
  }
  return node;
}

const MovAtomNode* MovAtomNode::FindPath(std::initializer_list<uint32_t> types) const {
  return const_cast<MovAtomNode*>(this)->FindPath(types);
}

uint64_t MovAtomNode::ChildrenSize() const {
  uint64_t total = 0;
  for (const auto& child : children_) total += child.SerializedSize();
  return total;
}

uint64_t MovAtomNode::SerializedSize() const {
  if (!container_) return raw_.size();
  uint64_t payload = ChildrenSize();
  return payload + MovByteWriter::HeaderSizeFor(payload);
}

void MovAtomNode::Serialize(std::vector<uint8_t>& out) const {
  if (!container_) {
    out.insert(out.end(), raw_.begin(), raw_.end());
    return;
  }
  MovByteWriter writer(out);
  writer.AtomHeader(type_, SerializedSize());
  for (const auto& child : children_) child.Serialize(out);
}

}  // namespace hc::movfile
