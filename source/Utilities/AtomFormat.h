#pragma once

#include <cstdint>

#include "platform/movfile/MovFourCC.h"

// The atoms of the atom-container form of an object graph. The properties
// of an object are children of one parent atom (the container's root for the
// document, else the object's 'Hcva' atom); property k of a parent is the
// set of its children with the atom id k.
namespace AtomFormat {

constexpr uint32_t kName = hc::movfile::MovFourCC("Hcnm");       // the property's name, UTF-8
constexpr uint32_t kType = hc::movfile::MovFourCC("Hcty");       // its type code, signed 32-bit
constexpr uint32_t kValue = hc::movfile::MovFourCC("Hcva");      // the value's bytes, or the object's properties
constexpr uint32_t kClassName = hc::movfile::MovFourCC("Hccl");  // object values: the class name
constexpr uint32_t kId = hc::movfile::MovFourCC("Hcid");         // object values, optional: the object's id
constexpr uint32_t kHref = hc::movfile::MovFourCC("Hchr");       // object values, optional: the href of an object

constexpr uint8_t kTrue = 0xFF;
constexpr uint8_t kFalse = 0x00;

}  // namespace AtomFormat
