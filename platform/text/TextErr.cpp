#include "platform/text/TextErr.h"

namespace hc::text {

const char* TextErrName(TextErr err) {
  switch (err) {
    case TextErr::Ok: return "Ok";
    case TextErr::BadArgument: return "BadArgument";
    case TextErr::OutOfMemory: return "OutOfMemory";
    case TextErr::MalformedRtf: return "MalformedRtf";
    case TextErr::TooLarge: return "TooLarge";
    case TextErr::NoFont: return "NoFont";
  }
  return "Unknown";
}

}  // namespace hc::text
