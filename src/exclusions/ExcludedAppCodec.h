#pragma once
// The excluded applications as stored in the user defaults: a compact JSON
// array of {"id","bundleID","name","path"}. Any thread.

#include "exclusions/ExcludedApp.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace kestrune {

// All four keys are required; anything missing or mistyped rejects the whole list.
std::optional<QList<ExcludedApp>> decodeExcludedApps(const QByteArray& data);

QByteArray encodeExcludedApps(const QList<ExcludedApp>& apps);

} // namespace kestrune
