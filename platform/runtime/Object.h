#pragma once

#include <cstdint>

namespace hc::runtime {

class Class;

// The header every object of the run time starts with: the word that names
// its class. An object's identity is the address of this header.
struct Object {
  Class* isa = nullptr;
};

using Id = Object*;

// Counting through the memory operations of the object's class; null is
// ignored (and counts 0).
void Retain(Id object);
void Release(Id object);
uint32_t RetainCount(Id object);

}  // namespace hc::runtime
