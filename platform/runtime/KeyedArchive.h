#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/runtime/Class.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/ObjectRef.h"
#include "platform/runtime/RuntimeErr.h"

namespace hc::runtime {

// A keyed archive of one object: the name of its class and the strings it
// encoded under their keys.
struct KeyedArchive {
  std::string className;
  std::map<std::string, std::string> strings;
  friend bool operator==(const KeyedArchive&, const KeyedArchive&) = default;
};

// The coder handed to "encodeWithCoder:" and "initWithCoder:" (class
// "KeyedCoder"): "allowsKeyedCoding", "encodeObject:forKey:" (strings only)
// and "decodeObjectForKey:" (a string, or nil). A coder made without keys
// allows no keyed coding, keeps nothing and decodes nil.
class KeyedCoder : public NativeObject {
 public:
  static Class* GetClass();
  // One reference, owned by the caller.
  static KeyedCoder* Make(bool keyed, KeyedArchive archive = {});

  bool AllowsKeyedCoding() const { return m_keyed; }
  const KeyedArchive& GetArchive() const { return m_archive; }

 private:
  KeyedCoder(bool keyed, KeyedArchive archive);
  static KeyedCoder* Self(Id object) { return static_cast<KeyedCoder*>(object); }
  static RuntimeErr AllowsKeyedCodingImp(Id self, const Method&, std::span<const Value>, Value& result);
  static RuntimeErr EncodeImp(Id self, const Method&, std::span<const Value> arguments, Value&);
  static RuntimeErr DecodeImp(Id self, const Method&, std::span<const Value> arguments, Value& result);

  bool m_keyed;
  KeyedArchive m_archive;
};

// Sends "encodeWithCoder:" to the object with a keyed coder (or one without
// keys) and answers what it encoded.
RuntimeErr ArchiveObject(Id object, KeyedArchive* archive, bool keyed = true);
// Finds the archive's class, sends it "alloc" and the new object
// "initWithCoder:"; the object answered (possibly another) is the result.
// A nil answer gives an empty reference and Ok.
RuntimeErr UnarchiveObject(const KeyedArchive& archive, ObjectRef* object, bool keyed = true);

}  // namespace hc::runtime
