#include "Utilities/Lexer.h"

HC_DEFINE_ABSTRACT_CLASS(Lexer, KsObject, "Lexer")
void Lexer::LexerClass::SetupProperties() {}
