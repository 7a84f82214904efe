#pragma once
// Ordering of release version strings as feeds write them: dotted numbers
// compared numerically, missing parts counting as zero ("1.2" == "1.2.0",
// "0.10.0" > "0.9.3"). A leading "v" is ignored, as is build metadata after
// "+". Anything after the numbers ("-beta.2", "rc1", "b3") marks a
// pre-release, older than the plain release with the same numbers; two
// pre-releases compare piece by piece, numbers numerically and words
// alphabetically. Any thread.

#include <QStringView>

namespace kestrune {

// Negative, zero or positive as `a` is older than, the same as, or newer than `b`.
int compareVersions(QStringView a, QStringView b);

} // namespace kestrune
