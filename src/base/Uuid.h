#pragma once
// UUIDs as the stored lists write them: the canonical 36-character form,
// upper-case hexadecimal, 8-4-4-4-12.

#include <QString>
#include <QUuid>
#include <optional>

namespace kestrune {

QString canonicalUuid(const QUuid& id);
// Reads the 8-4-4-4-12 form (either case, no braces); nullopt otherwise.
std::optional<QUuid> parseCanonicalUuid(const QString& text);

} // namespace kestrune
