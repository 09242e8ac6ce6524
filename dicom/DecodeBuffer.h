#pragma once

// The bytes of one file as the decoder sees them: read whole, or from offset
// 0 onwards as far as decoding needs (header-only reading).

#include <cstdint>
#include <cstdio>
#include <span>
#include <utility>
#include <vector>

namespace dicom {

// Where the bytes of a file come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads up to out.size() bytes at offset; returns how many were read.
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> m_bytes;
};

class FileSource final : public ByteSource {
public:
    FileSource(std::FILE* file, std::uint64_t size) : m_file(file), m_size(size) {}
    std::uint64_t size() const override { return m_size; }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::FILE* m_file;
    std::uint64_t m_size;
};

// The bytes of a file read so far, always from offset 0, growing on demand.
class DecodeBuffer {
public:
    static constexpr std::uint64_t ChunkSize = 4096;

    explicit DecodeBuffer(ByteSource& source) : m_source(&source) {}
    // A file made whole in memory (an inflated data set): nothing is read later.
    explicit DecodeBuffer(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    // Reads the first min(size, limit) bytes; false on a short read.
    bool fill(std::uint64_t limit);
    // Makes the bytes [0, end) available, reading at least ChunkSize more
    // bytes at a time. False when end lies past the end of the file or the
    // source delivers fewer bytes than asked for.
    bool ensure(std::uint64_t end);

    std::span<const std::uint8_t> bytes() const { return m_bytes; }
    std::uint64_t fileSize() const { return m_source ? m_source->size() : m_bytes.size(); }
    std::uint64_t bytesRead() const { return m_bytes.size(); }

private:
    ByteSource* m_source = nullptr;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace dicom
