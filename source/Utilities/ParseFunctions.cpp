#include "Utilities/ParseFunctions.h"

#include <cerrno>
#include <vector>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "Utilities/StdErrParseReporter.h"

ParseReporter* GetStdErrParseReporter() {
  static StdErrParseReporter reporter;
  return &reporter;
}

void MakeParser(KsRef<Parser>& parser, const PWStringRef& lexerClassName, ParseReporter* reporter,
                const KsRef<KsObject>& root, const KsRef<PathResolver>& resolver) {
  KsRef<Lexer> lexer = MakeObject<Lexer>(lexerClassName);
  if (!lexer) {
    parser = nullptr;
    return;
  }
  parser = KsMakeRef<Parser>();
  parser->SetLexer(lexer);
  parser->SetReporter(reporter);
  parser->SetRootObject(root);
  parser->SetExternalPathResolver(resolver);
}

eAppErr ParseString(const PWStringRef& text, const KsRef<Parser>& parser) {
  if (!parser || text.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "ParseString");
  const eAppErr result = parser->Parse(text.CStr(), text.ByteLength());
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "ParseString");
  return result;
}

eAppErr ParseFile(FILE* file, const KsRef<Parser>& parser) {
  if (!parser || !file) return KS_TRACE_ERR(AppErr::kBadArgument, "ParseFile");
  if (std::fseek(file, 0, SEEK_END) != 0) return KS_TRACE_ERR(AppErr::kBadArgument, "ParseFile");
  const long size = std::ftell(file);
  if (size <= 0 || std::fseek(file, 0, SEEK_SET) != 0) return KS_TRACE_ERR(AppErr::kBadArgument, "ParseFile");
  std::vector<char> buffer;
  try {
    buffer.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, "ParseFile");
  }
  if (std::fread(buffer.data(), 1, buffer.size(), file) != buffer.size()) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "ParseFile");
  }
  const eAppErr result = parser->Parse(buffer.data(), buffer.size());
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "ParseFile");
  return result;
}

eAppErr ParseObjectWithRoot(const PWStringRef& text, const KsRef<KsObject>& root, FILE* file,
                            const PWStringRef& lexerClassName) {
  const PWStringRef lexerName = lexerClassName.IsNull() ? PWStringRef("XMLLexer") : lexerClassName;
  if (text.IsNull() && !file) return KS_TRACE_ERR(AppErr::kBadArgument, "ParseObjectWithRoot");
  KsRef<Parser> parser;
  MakeParser(parser, lexerName, GetStdErrParseReporter(), root, KsRef<PathResolver>());
  if (!parser) return KS_TRACE_ERR(AppErr::kBadArgument, "ParseObjectWithRoot");
  const eAppErr result = text.IsNull() ? ParseFile(file, parser) : ParseString(text, parser);
  if (AppErrFailed(result)) {
    KS_TRACE(KsTrace::kError, "Error %i parsing object hcml", result);
    return KS_TRACE_ERR(result, "ParseObjectWithRoot");
  }
  return result;
}
