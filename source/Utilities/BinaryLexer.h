#pragma once

#include <cstddef>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "Utilities/DataBuffer.h"
#include "Utilities/Lexer.h"
#include "Utilities/Parser.h"

// Reads the binary object stream: the signature "KsHc" and a version token,
// then one-byte tags with big-endian payloads (see BinaryEmitter). Tag 1 and
// a name begin a property, tag 2 and a class name begin its object, tag 3
// ends that object and its property, and a value token (tags 4 to 14) is a
// property's value and ends it.
//
// The lexer is incremental: told that more input follows, it keeps an
// incomplete token until the rest arrives. Otherwise each Parse ends the
// stream, and a stream that stops inside its header or a token is -630.
class BinaryLexer : public Lexer {
  HC_CLASS_HEADER(BinaryLexer)
 public:
  static constexpr uint32_t kVersion = 1;
  static constexpr size_t kHeaderSize = 9;
  // Longest string token read; a longer count is a damaged stream.
  static constexpr uint64_t kMaxStringBytes = 64u << 20;
  // Deepest nesting of objects read.
  static constexpr uint32_t kMaxObjectDepth = 256;

  BinaryLexer();
  ~BinaryLexer() override;

  // Reads the bytes as the next piece of the stream. -2 without a parser (or
  // without bytes when length is not 0); -630 for a damaged stream (after a
  // warning at its offset), and, unless more input is expected, for a stream
  // that ends inside its header or a token.
  eAppErr Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) override;
  // The offset of the first unread byte.
  KsRef<ParseLocation> CreateLocation() override;

  // Whether the stream continues in a later Parse (false at construction).
  void SetExpectsMoreInput(bool more) { m_expectsMoreInput = more; }
  bool GetExpectsMoreInput() const { return m_expectsMoreInput; }

 private:
  enum State { kHeaderExpected = 0, kTokenExpected = 1, kPropertyNameExpected = 2, kClassNameExpected = 3 };
  enum Step { kStepDone, kStepWait, kStepFailed };

  Step ParseHeader();
  Step ParseTopLevel();
  Step ParsePropID();
  Step ParseObjectID();
  Step ParseValue(uint8_t tag);
  // A string token at the read position: kStepWait until it is buffered,
  // kStepFailed (warned) for a count past kMaxStringBytes or text that is not
  // UTF-8.
  Step ReadString(PWStringRef* text);
  Step Fail(const PWStringRef& message, const char* method);
  // Asks for k unread bytes before the current step may run again.
  Step WaitFor(uint64_t k);

  KsRef<DataBuffer> m_buffer;
  uint64_t m_needed = kHeaderSize;
  KsRef<Parser> m_parser;
  State m_state = kHeaderExpected;
  uint32_t m_objectDepth = 0;
  bool m_expectsMoreInput = false;
};
HC_CLASS_OBJECT(BinaryLexer, Lexer)
