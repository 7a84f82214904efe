// kestrune-sim's scripts: any text parses to commands or to one error naming
// its line, and the key and duration readers agree with what they accept.

#include "FuzzCheck.h"

#include "Script.h"

#include <QRegularExpression>

#include <cstddef>
#include <cstdint>

using namespace kestrune;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const script::ParseResult result = script::parse(text);
    if (!result.error.isEmpty()) {
        FUZZ_CHECK(result.error.startsWith(QStringLiteral("line ")));
    } else {
        int last = 0;
        for (const script::Line& line : result.lines) {
            FUZZ_CHECK(line.number > last);
            last = line.number;
            if (const auto* wait = std::get_if<script::Wait>(&line.command))
                FUZZ_CHECK(wait->duration.count() >= 0);
        }
    }
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        if (const std::optional<Millis> d = script::parseDuration(word))
            FUZZ_CHECK(d->count() >= 0);
        (void)script::parseKey(word);
    }
    return 0;
}
