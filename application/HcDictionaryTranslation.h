#pragma once

#include "KsAppErr.h"

// Adds the key "dictionary" to the proxy class of string-to-string lookup
// tables: the whole table read as a property-list dictionary (first string
// to second string) and replaced by one, so that a table can be edited or
// bound like a dictionary. Only the proxies' own accessors are used.
//
//   dictionary       a new dictionary; where two pairs share a first string,
//                    the earlier pair's value wins
//   setDictionary:   replaces every pair by the dictionary's entries, which
//                    end up in the reverse of the dictionary's key order
class HcDictionaryTranslation {
 public:
  // Installs the two methods once the proxy classes exist (after class
  // registration); -903 before. Installing again changes nothing.
  static eAppErr Install();
};
