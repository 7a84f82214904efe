// The update feed: any bytes parse within the budget; a feed that declares a
// document type is always refused (its entities could expand without
// bound); a result is either releases or a reason, never both.

#include "FuzzCheck.h"

#include "system/AppcastParser.h"

#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>

using namespace kestrune;

namespace {

// Whether a reader reaches a DTD token before any error.
bool declaresDocumentType(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    xml.setEntityExpansionLimit(0);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::DTD)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const AppcastParseResult result = parseAppcast(bytes);
    FUZZ_CHECK(result.error.isEmpty() != result.items.isEmpty());
    if (declaresDocumentType(bytes))
        FUZZ_CHECK(!result.error.isEmpty() && result.items.isEmpty());
    if (const std::optional<AppcastItem> newest = newestItem(result.items))
        FUZZ_CHECK(!newest->displayVersion.isEmpty());
    // A tiny budget ends in a reason, never in a partial list.
    const AppcastParseResult cut = parseAppcast(bytes, 8);
    FUZZ_CHECK(cut.error.isEmpty() != cut.items.isEmpty());
    return 0;
}
