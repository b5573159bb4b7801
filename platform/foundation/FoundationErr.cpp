#include "platform/foundation/FoundationErr.h"

namespace hc::foundation {

const char* FoundationErrName(FoundationErr err) {
  switch (err) {
    case FoundationErr::Ok: return "Ok";
    case FoundationErr::BadArgument: return "BadArgument";
    case FoundationErr::OutOfMemory: return "OutOfMemory";
    case FoundationErr::MalformedData: return "MalformedData";
  }
  return "Unknown";
}

}  // namespace hc::foundation
