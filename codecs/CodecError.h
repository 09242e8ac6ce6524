#pragma once

// The codecs' failures carry their own codes; the DICOM layer translates each
// into one of its reader's codes. The failure's detail carries the codec's
// own message for logs and tests.

#include "base/Result.h"

namespace codecs {

enum class CodecError {
    OutOfMemory,
    FileIo,       // JPEG file read or write
    Unsupported,  // a legal stream this build cannot decode
    Corrupt,
    FileNotFound, // JPEG file read
};

using Error = base::Failure<CodecError>;
template<typename T>
using Result = base::Result<T, CodecError>;

} // namespace codecs
