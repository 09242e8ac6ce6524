#pragma once

// The reader's code for a codec's failure.

#include "codecs/CodecError.h"
#include "dicom/DicomError.h"

namespace dicom {

constexpr DicomError fromCodecError(codecs::CodecError error)
{
    switch (error) {
    case codecs::CodecError::OutOfMemory: return DicomError::OutOfMemory;
    case codecs::CodecError::FileIo: return DicomError::FileIo;
    case codecs::CodecError::Unsupported: return DicomError::UnsupportedFormat;
    case codecs::CodecError::Corrupt: return DicomError::Corrupted;
    case codecs::CodecError::FileNotFound: return DicomError::FileNotFound;
    }
    return DicomError::Corrupted;
}

} // namespace dicom
