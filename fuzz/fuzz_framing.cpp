// The control connection's framing fed in arbitrary pieces: the first input bytes choose the
// piece sizes, the rest is the byte stream. Everything handed on must be whole plausible
// messages in stream order, and nothing may be handed on twice or lost before a drop.

#include "link/wire.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The link thread's receive loop over a stream, one recv per piece.
void feed(const uint8_t* stream, size_t size, const uint8_t* cuts, size_t cutCount) {
    static std::unique_ptr<unsigned char[]> buffer(new unsigned char[wire::kReceiveBufferSize]);
    int held = 0;
    size_t pos = 0;
    size_t consumed = 0; // stream bytes handed on
    for (size_t c = 0; pos < size; ++c) {
        size_t piece = cutCount ? size_t(cuts[c % cutCount]) + 1 : size - pos;
        piece = std::min({piece, size - pos, size_t(wire::kReceiveBufferSize - held)});
        if (piece == 0)
            abort(); // the buffer filled up without a decision
        memcpy(buffer.get() + held, stream + pos, piece);
        pos += piece;
        held += int(piece);
        int whole = wire::framedLength(buffer.get(), held);
        if (whole < 0)
            return; // dropped: a new connection starts over
        if (whole == 0)
            continue;
        // Whole plausible messages, exactly the next bytes of the stream.
        if (whole > held || memcmp(buffer.get(), stream + consumed, size_t(whole)) != 0)
            abort();
        for (int at = 0; at < whole;) {
            uint32_t length;
            memcpy(&length, buffer.get() + at, 4);
            if (!wire::plausibleLength(length) || at + int(length) > whole)
                abort();
            at += int(length);
        }
        consumed += size_t(whole);
        const int rest = held - whole;
        memmove(buffer.get(), buffer.get() + whole, size_t(rest));
        held = rest;
        // What stays is never a whole message.
        if (wire::framedLength(buffer.get(), held) > 0)
            abort();
        if (wire::framedLength(buffer.get(), held) < 0)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const size_t cutCount = std::min<size_t>(data[0], size - 1);
    feed(data + 1 + cutCount, size - 1 - cutCount, data + 1, cutCount);
    return 0;
}
