#include "platform/runtime/RuntimeErr.h"

namespace hc::runtime {

const char* RuntimeErrName(RuntimeErr err) {
  switch (err) {
    case RuntimeErr::Ok: return "Ok";
    case RuntimeErr::UnrecognizedSelector: return "UnrecognizedSelector";
    case RuntimeErr::ArgumentMismatch: return "ArgumentMismatch";
    case RuntimeErr::BadTypeString: return "BadTypeString";
    case RuntimeErr::UndefinedKey: return "UndefinedKey";
    case RuntimeErr::ClassExists: return "ClassExists";
    case RuntimeErr::NoSuchClass: return "NoSuchClass";
    case RuntimeErr::UnsupportedKeyPath: return "UnsupportedKeyPath";
    case RuntimeErr::NotKeyedCoder: return "NotKeyedCoder";
    case RuntimeErr::NilReceiver: return "NilReceiver";
  }
  return "Unknown";
}

}  // namespace hc::runtime
