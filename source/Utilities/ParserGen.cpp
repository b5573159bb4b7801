#include "Utilities/Parser.h"

#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(Parser, KsObject, "Parser")
void Parser::ParserClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<Parser, KsObject>::Create(self, kRootObjectId, "RootObject", false,
                                                                 &Parser::GetRootObject, &Parser::SetRootObject));
  AddProperty(HcPropertyObjectDirectGet<Parser, PathResolver>::Create(
      self, kExternalPathResolverId, "ExternalPathResolver", true, &Parser::GetExternalPathResolver,
      &Parser::SetExternalPathResolver));
  AddProperty(HcPropertyObjectDirectGet<Parser, Lexer>::Create(self, kLexerId, "Lexer", true, &Parser::GetLexer,
                                                              &Parser::SetLexer));
  AddProperty(HcPropertyObjectDirectGet<Parser, Emitter>::Create(self, kEmitterId, "Emitter", true,
                                                                &Parser::GetEmitter, &Parser::SetEmitter));
}
