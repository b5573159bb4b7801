#pragma once

#include <cstdio>

#include "Utilities/Parser.h"
#include "Utilities/PathResolver.h"

class ParseReporter;

// The reporter every parse of the system uses unless given another: warnings
// to standard error. Shared and stateless.
ParseReporter* GetStdErrParseReporter();

// A parser in object mode over a new lexer of the named class ("XMLLexer",
// "BinaryLexer", "AtomLexer"); empty when no such lexer class exists.
void MakeParser(KsRef<Parser>& parser, const PWStringRef& lexerClassName, ParseReporter* reporter,
                const KsRef<KsObject>& root, const KsRef<PathResolver>& resolver);

// Parses the text's UTF-8 bytes. -2 without a parser or a text.
eAppErr ParseString(const PWStringRef& text, const KsRef<Parser>& parser);
// Parses the whole file from its start; the file is not closed. -2 without a
// parser, for a file that cannot be sought or read, and for an empty file.
eAppErr ParseFile(FILE* file, const KsRef<Parser>& parser);
// Parses the text (or else the file) into the root object with a new parser
// over the named lexer ("XMLLexer" when null), warnings to standard error.
// -2 with neither text nor file, or for an unknown lexer.
eAppErr ParseObjectWithRoot(const PWStringRef& text, const KsRef<KsObject>& root, FILE* file,
                            const PWStringRef& lexerClassName);
