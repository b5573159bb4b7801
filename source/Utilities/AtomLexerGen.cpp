#include "Utilities/AtomLexer.h"

HC_DEFINE_CLASS(AtomLexer, Lexer, "AtomLexer")
void AtomLexer::AtomLexerClass::SetupProperties() {}
