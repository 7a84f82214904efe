// The input service's socket protocol, as either end decodes what its peer
// sent. The first byte cuts the stream into chunks (a socket delivers any
// split); whatever arrives, every message decoded is one the protocol can
// carry, encodes back to the bytes it came from, and nothing is read after
// the first bad frame.

#include "FuzzCheck.h"

#include "platform/linux/InputServiceProtocol.h"

#include <cstddef>
#include <cstdint>

using namespace kestrune::inputd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t chunk = 1 + data[0] % 16;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const size_t total = size - 1;

    FrameDecoder decoder;
    QByteArray consumed; // the frames decoded so far, re-encoded
    for (size_t at = 0; at < total; at += chunk) {
        decoder.feed(bytes + at, std::min(chunk, total - at));
        while (std::optional<Message> message = decoder.next()) {
            FUZZ_CHECK(!decoder.failed());
            if (const auto* launch = std::get_if<Launch>(&*message))
                FUZZ_CHECK(launch->keyCode < kKeyCodeLimit);
            if (const auto* status = std::get_if<Status>(&*message))
                FUZZ_CHECK(status->reason.toUtf8().size() <= static_cast<qsizetype>(kMaxReasonBytes));
            consumed += encode(*message);
        }
        if (decoder.failed())
            break;
    }
    // What was decoded is exactly the start of the stream.
    FUZZ_CHECK(QByteArray(bytes, static_cast<qsizetype>(total)).startsWith(consumed));
    if (decoder.failed()) {
        decoder.feed(encode(Excluded{true}));
        FUZZ_CHECK(!decoder.next());
    }
    return 0;
}
