#include "ReplayBody.h"

#include "LittleEndian.h"
#include "ReplayTally.h"
#include "StatePacking.h"

#include <zstd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>

namespace kit {
namespace {

using namespace replayFile;

// State packets are kept taken apart (StatePacking): most of their records
// repeat or barely change from one to the next.
constexpr std::uint8_t packedStateKind = 3;

// The compression level: a replay is written once, at the end of a match.
constexpr int level = 9;
// The largest window the reader lets a frame ask for (2^24 bytes): level 9
// uses at most 2^22, so the decoder's own memory stays a few megabytes.
constexpr int windowLogMax = 24;

using littleEndian::getU32;
using littleEndian::putU32;

// One record as the file stores it: kind, time and length (the record's
// head), then its bytes, a state packet's packed if it packs.
struct Stored {
    std::array<std::uint8_t, ReplayTally::recordOverhead> head;
    std::optional<std::vector<std::uint8_t>> packed;
    std::span<const std::uint8_t> bytes;

    Stored(StatePacker& packer, const ReplayRecord& record)
    {
        if (record.kind == ReplayRecord::Kind::state)
            packed = packer.pack(record.bytes);
        bytes = packed ? std::span<const std::uint8_t>(*packed) : std::span<const std::uint8_t>(record.bytes);
        head[0] = packed ? packedStateKind : static_cast<std::uint8_t>(record.kind);
        for (int i = 0; i < 4; ++i) {
            head[1 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(record.milliseconds >> (8 * i));
            head[5 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes.size() >> (8 * i));
        }
    }
    [[nodiscard]] std::size_t size() const { return head.size() + bytes.size(); }
};

// The body of records coming out of its zstd frame a piece at a time, into
// a window of a record and a little more: the frame is read from the source
// as the decoder needs it, never more than its declared size.
class FrameReader {
public:
    FrameReader(ReplaySource& in, std::size_t packedBytes, std::size_t bodyBytes)
        : in_(in), packedLeft_(packedBytes), body_(bodyBytes), input_(ZSTD_DStreamInSize()),
          window_(ZSTD_DStreamOutSize() + ReplayTally::recordOverhead + maxRecordBytes), ctx_(ZSTD_createDCtx())
    {
        if (ctx_)
            ZSTD_DCtx_setParameter(ctx_, ZSTD_d_windowLogMax, windowLogMax);
    }
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;
    ~FrameReader() { ZSTD_freeDCtx(ctx_); }

    // The frame must declare the very size the file gave its records.
    bool start(std::string& error)
    {
        if (!ctx_) {
            error = "no memory to decompress the replay's records";
            return false;
        }
        fill();
        const unsigned long long framed = ZSTD_getFrameContentSize(input_.data(), have_.size);
        if (framed == ZSTD_CONTENTSIZE_ERROR || framed == ZSTD_CONTENTSIZE_UNKNOWN || framed != body_) {
            error = "corrupt replay: its compressed records do not match their size";
            return false;
        }
        return true;
    }

    // Body bytes not yet taken.
    [[nodiscard]] std::size_t left() const { return body_ - taken_; }

    // The next `count` bytes of the body (at most a record and its overhead,
    // and no more than left()), valid until the next call.
    std::optional<std::span<const std::uint8_t>> take(std::size_t count, std::string& error)
    {
        if (end_ - begin_ < count) {
            // What is left of the window moves to its front, then more comes.
            std::memmove(window_.data(), window_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
            while (end_ < count) {
                if (!decompress(error))
                    return std::nullopt;
            }
        }
        const std::span<const std::uint8_t> part(window_.data() + begin_, count);
        begin_ += count;
        taken_ += count;
        return part;
    }

    // All of the body taken: the frame must end there, and the file's
    // compressed records with it.
    bool finish(std::string& error)
    {
        std::uint8_t extra = 0;
        ZSTD_outBuffer out{&extra, 1, 0};
        while (!ended_) {
            if (have_.pos == have_.size && !fill()) {
                error = "truncated replay: its compressed records end early";
                return false;
            }
            const std::size_t result = ZSTD_decompressStream(ctx_, &out, &have_);
            if (ZSTD_isError(result) || out.pos > 0) {
                error = corrupt(ZSTD_isError(result) ? ZSTD_getErrorName(result) : "longer than declared");
                return false;
            }
            ended_ = result == 0;
        }
        if (have_.pos != have_.size || packedLeft_ > 0) {
            error = "corrupt replay: bytes follow its compressed records";
            return false;
        }
        return true;
    }

private:
    static std::string corrupt(const std::string& why)
    {
        return "corrupt replay: its compressed records do not decode (" + why + ")";
    }

    // More of the frame from the source, once the decoder has used what it had.
    bool fill()
    {
        if (packedLeft_ == 0)
            return false;
        const std::size_t got = in_.read(input_.data(), std::min(input_.size(), packedLeft_));
        packedLeft_ = got == 0 ? 0 : packedLeft_ - got;
        have_ = ZSTD_inBuffer{input_.data(), got, 0};
        return got > 0;
    }

    bool decompress(std::string& error)
    {
        if (ended_) {
            error = corrupt("shorter than declared");
            return false;
        }
        if (have_.pos == have_.size && !fill()) {
            error = "truncated replay: its compressed records end early";
            return false;
        }
        ZSTD_outBuffer out{window_.data(), window_.size(), end_};
        const std::size_t result = ZSTD_decompressStream(ctx_, &out, &have_);
        if (ZSTD_isError(result)) {
            error = corrupt(ZSTD_getErrorName(result));
            return false;
        }
        produced_ += out.pos - end_;
        end_ = out.pos;
        ended_ = result == 0;
        if (produced_ > body_) {
            error = corrupt("longer than declared");
            return false;
        }
        return true;
    }

    ReplaySource& in_;
    std::size_t packedLeft_; // of the frame, still in the source
    std::size_t body_;
    std::vector<std::uint8_t> input_;
    ZSTD_inBuffer have_{nullptr, 0, 0};
    std::vector<std::uint8_t> window_;
    std::size_t begin_ = 0, end_ = 0; // the window's bytes not yet taken
    std::size_t produced_ = 0, taken_ = 0;
    bool ended_ = false;
    ZSTD_DCtx* ctx_;
};

bool knownKind(std::uint8_t kind)
{
    return kind == static_cast<std::uint8_t>(ReplayRecord::Kind::calls) ||
           kind == static_cast<std::uint8_t>(ReplayRecord::Kind::state) || kind == packedStateKind;
}

} // namespace

void writeReplayBody(const std::vector<ReplayRecord>& records, std::vector<std::uint8_t>& out)
{
    // The frame declares its size up front: the records are packed once to
    // count it, then again, the same way, into the compressor.
    std::size_t bodyBytes = 0;
    {
        StatePacker counting;
        for (const ReplayRecord& record : records)
            bodyBytes += record.kind == ReplayRecord::Kind::state ? Stored(counting, record).size()
                                                                  : ReplayTally::recordOverhead + record.bytes.size();
    }
    ZSTD_CCtx* ctx = bodyBytes > 0 ? ZSTD_createCCtx() : nullptr;
    if (!ctx) {
        putU32(out, 0); // no records (or no memory for them): none
        putU32(out, 0);
        return;
    }
    putU32(out, static_cast<std::uint32_t>(bodyBytes));
    const std::size_t sizeAt = out.size();
    putU32(out, 0); // the frame's size, known at its end
    const std::size_t frameAt = out.size();
    ZSTD_CCtx_setParameter(ctx, ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setPledgedSrcSize(ctx, bodyBytes);
    StatePacker packer;
    std::vector<std::uint8_t> chunk(ZSTD_CStreamOutSize());
    const auto feed = [&](std::span<const std::uint8_t> bytes, ZSTD_EndDirective mode) {
        ZSTD_inBuffer in{bytes.data(), bytes.size(), 0};
        for (;;) {
            ZSTD_outBuffer buffer{chunk.data(), chunk.size(), 0};
            const std::size_t remaining = ZSTD_compressStream2(ctx, &buffer, &in, mode);
            out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(buffer.pos));
            if (ZSTD_isError(remaining))
                return false;
            if (mode == ZSTD_e_end ? remaining == 0 : in.pos == in.size)
                return true;
        }
    };
    bool written = true;
    for (std::size_t i = 0; i < records.size() && written; ++i) {
        const Stored record(packer, records[i]);
        written = feed(record.head, ZSTD_e_continue) && feed(record.bytes, ZSTD_e_continue);
    }
    written = written && feed({}, ZSTD_e_end);
    ZSTD_freeCCtx(ctx);
    if (!written) {
        // Cannot happen with the sizes declared; no records rather than broken ones.
        out.resize(sizeAt - 4);
        putU32(out, 0);
        putU32(out, 0);
        return;
    }
    const std::uint32_t frameBytes = static_cast<std::uint32_t>(out.size() - frameAt);
    for (int i = 0; i < 4; ++i)
        out[sizeAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(frameBytes >> (8 * i));
}

bool readReplayBody(ReplaySource& in, float seconds, std::vector<ReplayRecord>& records, std::string& error)
{
    std::uint8_t sizes[8];
    if (!in.readExactly(sizes, sizeof sizes)) {
        error = "truncated replay: its records end early";
        return false;
    }
    const std::uint32_t bodyBytes = getU32(sizes), packedBytes = getU32(sizes + 4);
    if (packedBytes > in.left()) {
        error = "truncated replay: its records end early";
        return false;
    }
    if (bodyBytes > maxStoredBodyBytes) {
        error = "corrupt replay: " + std::to_string(bodyBytes) + " bytes of records";
        return false;
    }
    if (packedBytes == 0 && bodyBytes == 0)
        return true;
    FrameReader frame(in, packedBytes, bodyBytes);
    if (!frame.start(error))
        return false;

    // A record may come a little after the last whole second of the length.
    const auto lastMillisecond = static_cast<std::uint32_t>(seconds * 1000.0f) + 1000u;
    std::uint32_t previous = 0;
    StateUnpacker unpacker;
    ReplayTally tally;
    while (frame.left() > 0) {
        const auto which = [&records] { return "replay record " + std::to_string(records.size() + 1); };
        if (frame.left() < ReplayTally::recordOverhead) {
            error = "truncated replay: " + which() + " ends early";
            return false;
        }
        const std::optional<std::span<const std::uint8_t>> head = frame.take(ReplayTally::recordOverhead, error);
        if (!head)
            return false;
        const std::uint8_t kind = (*head)[0];
        const std::uint32_t milliseconds = getU32(head->data() + 1), length = getU32(head->data() + 5);
        if (!knownKind(kind)) {
            error = "corrupt replay: " + which() + " is of unknown kind " + std::to_string(kind);
            return false;
        }
        if (milliseconds < previous || milliseconds > lastMillisecond) {
            error = "corrupt replay: " + which() + " is out of time order";
            return false;
        }
        if (length > maxRecordBytes || length > frame.left()) {
            error = (length > maxRecordBytes ? "corrupt replay: " : "truncated replay: ") + which() + " claims " +
                    std::to_string(length) + " bytes";
            return false;
        }
        previous = milliseconds;
        const std::optional<std::span<const std::uint8_t>> bytes = frame.take(length, error);
        if (!bytes)
            return false;
        ReplayRecord record{static_cast<ReplayRecord::Kind>(kind), milliseconds, {}};
        if (kind == packedStateKind) {
            std::string why;
            std::optional<std::vector<std::uint8_t>> packet = unpacker.unpack(*bytes, why);
            if (!packet) {
                error = "corrupt replay: " + which() + ": " + why;
                return false;
            }
            record.kind = ReplayRecord::Kind::state;
            record.bytes = std::move(*packet);
        } else {
            record.bytes.assign(bytes->begin(), bytes->end());
        }
        switch (tally.admit(milliseconds, record.bytes.size())) {
        case ReplayTally::Verdict::fits:
            break;
        case ReplayTally::Verdict::badSize:
            error = "corrupt replay: " + which() + " is empty";
            return false;
        case ReplayTally::Verdict::busySecond:
            error = "corrupt replay: " + which() + " is one more than the " + std::to_string(maxRecordsPerSecond) +
                    " a second of a replay may hold";
            return false;
        case ReplayTally::Verdict::full:
            error = "corrupt replay: " + which() + " is beyond the " + std::to_string(maxRecords) + " records (" +
                    std::to_string(maxBodyBytes) + " bytes) a replay may hold";
            return false;
        }
        records.push_back(std::move(record));
    }
    return frame.finish(error);
}

} // namespace kit
