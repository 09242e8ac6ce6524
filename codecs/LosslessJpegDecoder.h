#pragma once

// Decoder of ITU-T T.81 lossless JPEG (process 14, Huffman coded; DICOM
// transfer syntaxes 1.2.840.10008.1.2.4.57 and .70): SOF3 frames (and SOF0/1
// frames carrying lossless scans, as some writers emit), predictors 1 to 7,
// point transform, restart intervals of whole rows, interleaved and
// one-scan-per-component images of up to four components of precision 2..16.
//
// All state lives in one decoder object per frame, so frames may be decoded
// one after another or side by side. Failures come back as Error with a
// CodecError code: a stream we cannot read is Corrupt, a legal feature we do
// not implement (sampling factors other than 1, DNL, other JPEG processes,
// restarts inside a row) is Unsupported.

#include "codecs/CodecError.h"
#include "codecs/FrameParams.h"
#include "codecs/HuffmanTable.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace codecs {

// Whether 8-bit single-component frames may be decoded straight into the
// output bytes. Tests switch it off to compare both paths.
enum class FastPath { Allowed, Disabled };

struct LosslessOptions {
    FastPath fastPath = FastPath::Allowed;
    // The part of a larger stream written to dest; each scan stops after its
    // rows, so the rows below cost no time.
    FrameRegion region {};
};

struct LosslessFrameInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 0;
    int precision = 0;
    int predictor = 0;      // of the last scan
    int pointTransform = 0; // of the last scan
    bool usedFastPath = false;
    // Non-fatal oddities, each reported once per frame.
    std::vector<std::string> warnings;
};

class LosslessJpegDecoder {
public:
    // Decodes input into dest: rows x columns x samples (of options.region
    // when one is given), pixel after pixel, samples of a pixel interleaved;
    // one byte per sample when bits allocated is 8, else host-order 16-bit
    // samples holding the reconstructed value (two's complement wrapping for
    // 16-bit precision). The frame's width, height and component count must
    // equal the parameters.
    static Result<LosslessFrameInfo> decode(std::span<const std::uint8_t> input,
        const FrameParams& params, std::span<std::uint8_t> dest, LosslessOptions options = {});

private:
    struct Component {
        int id = 0;
        int horizontal = 1;
        int vertical = 1;
        bool decoded = false;
    };
    struct ScanComponent {
        int frameIndex = 0;
        int tableSlot = 0;
    };
    enum Warning : unsigned {
        UnexpectedMarker = 1u << 0,
        UndefinedPredictor = 1u << 1,
        QuantisationTable = 1u << 2,
        AcTable = 1u << 3,
        BadHuffmanCode = 1u << 4,
        PrematureEnd = 1u << 5,
    };

    LosslessJpegDecoder(std::span<const std::uint8_t> input, const FrameParams& params,
        std::span<std::uint8_t> dest, LosslessOptions options);

    Result<LosslessFrameInfo> run();
    Result<std::uint8_t> nextMarker();
    Result<std::span<const std::uint8_t>> readSegment();
    Result<void> readFrameHeader(std::uint8_t marker);
    Result<void> readHuffmanTables();
    Result<void> readRestartInterval();
    Result<void> readScanHeader();
    Result<void> decodeScan();
    Result<void> processRestart(JpegBitReader& bits);
    void skipRestOfScan(JpegBitReader& bits);
    template<int Psv>
    void decodeRows(JpegBitReader& bits, std::uint32_t firstRow, std::uint32_t rowCount);
    void decodeRowsFast(JpegBitReader& bits);
    void writeRow(std::uint32_t row, const std::uint16_t* samples);
    std::vector<std::string> warningTexts() const;

    std::span<const std::uint8_t> m_input;
    std::size_t m_pos = 0;
    FrameParams m_params;
    std::span<std::uint8_t> m_dest;
    LosslessOptions m_options;

    std::uint8_t m_frameMarker = 0;
    int m_precision = 0;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    FrameRegion m_region; // what is written: the whole frame, or the options' part of it
    std::vector<Component> m_components;
    std::array<HuffmanCodes, 4> m_tableCodes {};
    std::array<bool, 4> m_tableDefined {};
    std::array<HuffmanTable, 4> m_tables {};
    std::uint32_t m_restartInterval = 0;

    std::vector<ScanComponent> m_scan;
    int m_predictor = 0;
    int m_pointTransform = 0;
    int m_nextRestart = 0;
    std::vector<std::uint16_t> m_previousRow;
    std::vector<std::uint16_t> m_currentRow;

    unsigned m_warnings = 0;
    int m_firstUnexpectedMarker = 0;
    bool m_usedFastPath = false;
};

} // namespace codecs
