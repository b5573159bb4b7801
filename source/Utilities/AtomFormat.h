#pragma once

#include <cstdint>

#include "platform/movie/MovFourCC.h"

// The atoms of the atom-container form of an object graph. The properties
// of an object are children of one parent atom (the container's root for the
// document, else the object's 'Hcva' atom); property k of a parent is the
// set of its children with the atom id k.
namespace AtomFormat {

constexpr uint32_t kName = hc::movie::MovFourCC("Hcnm");       // the property's name, UTF-8
constexpr uint32_t kType = hc::movie::MovFourCC("Hcty");       // its type code, signed 32-bit
constexpr uint32_t kValue = hc::movie::MovFourCC("Hcva");      // the value's bytes, or the object's properties
constexpr uint32_t kClassName = hc::movie::MovFourCC("Hccl");  // object values: the class name
constexpr uint32_t kId = hc::movie::MovFourCC("Hcid");         // object values, optional: the object's id
constexpr uint32_t kHref = hc::movie::MovFourCC("Hchr");       // object values, optional: the href of an object

constexpr uint8_t kTrue = 0xFF;
constexpr uint8_t kFalse = 0x00;

}  // namespace AtomFormat
