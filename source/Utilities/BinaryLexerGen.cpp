#include "Utilities/BinaryLexer.h"

HC_DEFINE_CLASS(BinaryLexer, Lexer, "BinaryLexer")
void BinaryLexer::BinaryLexerClass::SetupProperties() {}
