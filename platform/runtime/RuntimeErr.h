#pragma once

// Result codes of the object run time. 0 is success, negative values fail.
namespace hc::runtime {

enum class RuntimeErr : int {
  Ok = 0,
  UnrecognizedSelector = -1,  // the receiver's class has no method for the selector
  ArgumentMismatch = -2,      // an argument or result does not match the method's type string
  BadTypeString = -3,         // a type string that can't be read, or whose arity contradicts its selector
  UndefinedKey = -4,          // a key no accessor and no undefined-key hook answers
  ClassExists = -5,           // a class of that name is already registered
  NoSuchClass = -6,
  UnsupportedKeyPath = -7,    // key paths with "." are not observed
  NotKeyedCoder = -8,
  NilReceiver = -9,
};

constexpr bool RuntimeFailed(RuntimeErr err) { return static_cast<int>(err) < 0; }

// A short English name for logs and test output ("UnrecognizedSelector").
const char* RuntimeErrName(RuntimeErr err);

}  // namespace hc::runtime
