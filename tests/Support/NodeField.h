#pragma once

// A value of a small model class that the tests, benchmarks and fuzz
// programs read documents into: a getter, a setter answering success, and the
// member (value-initialised). Each class lists its values with it and defines
// its own property table.
#define HC_NODE_FIELD(Type, Name)              \
  Type Get##Name() const { return m_##Name; }  \
  eAppErr Set##Name(const Type& value) {       \
    m_##Name = value;                          \
    return AppErr::kNoErr;                     \
  }                                            \
                                               \
 private:                                      \
  Type m_##Name{};                             \
                                               \
 public:
