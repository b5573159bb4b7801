#pragma once

// Result codes of the atom-container layer: 0 is success, negative values
// fail. Structural codes are QuickTime's own atom-container codes, so the
// model's OS-error translation passes them through unchanged.
namespace hc::movie {

enum class AtomContainerErr : int {
  Ok = 0,
  BadArgument = -50,
  CannotFindAtom = -2101,          // no atom with that handle in the container
  NotLeafAtom = -2102,             // data asked of, or given to, an atom with children
  DuplicateAtomTypeAndId = -2105,  // a sibling of that type already has that id
  InvalidAtomContainer = -2107,    // flattened bytes whose sizes or counts don't add up
  TooManyChildren = -2292,         // a parent would hold more children than 16 bits count
  NestingTooDeep = -2293,          // atoms nested deeper than the layer accepts
  SizeTooLarge = -2294,            // an atom would be larger than 32 bits can state
};

constexpr bool AtomContainerFailed(AtomContainerErr err) { return static_cast<int>(err) < 0; }
constexpr int AtomContainerErrCode(AtomContainerErr err) { return static_cast<int>(err); }

// A short English name for logs and test output ("InvalidAtomContainer").
const char* AtomContainerErrName(AtomContainerErr err);

}  // namespace hc::movie
