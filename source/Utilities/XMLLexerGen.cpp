#include "Utilities/XMLLexer.h"

HC_DEFINE_CLASS(XMLLexer, Lexer, "XMLLexer")
void XMLLexer::XMLLexerClass::SetupProperties() {}
