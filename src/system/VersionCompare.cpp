#include "system/VersionCompare.h"

#include <QList>
#include <QString>

namespace kestrune {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Numbers too long for 64 bits count as the largest.
qulonglong toNumber(QStringView digits)
{
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    return ok ? value : ~0ULL;
}

struct ParsedVersion {
    QList<qulonglong> numbers;
    QStringList suffix; // pre-release pieces; empty for a release
};

// "rc10" → "rc", "10"; "beta.2" → "beta", "2"; separators dropped.
QStringList suffixPieces(QStringView text)
{
    QStringList pieces;
    QString current;
    auto flush = [&] {
        if (!current.isEmpty())
            pieces.append(current);
        current.clear();
    };
    for (QChar c : text) {
        if (!c.isLetterOrNumber()) {
            flush();
            continue;
        }
        if (!current.isEmpty() && isDigit(current.back()) != isDigit(c))
            flush();
        current += c.toLower();
    }
    flush();
    return pieces;
}

ParsedVersion parse(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('v'), Qt::CaseInsensitive) && text.size() > 1 && isDigit(text[1]))
        text = text.mid(1);
    if (const qsizetype plus = text.indexOf(QLatin1Char('+')); plus >= 0)
        text = text.left(plus);

    ParsedVersion version;
    qsizetype i = 0;
    while (i < text.size() && isDigit(text[i])) {
        const qsizetype start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        version.numbers.append(toNumber(text.mid(start, i - start)));
        // A dot continues the numbers only when a digit follows it.
        if (i + 1 < text.size() && text[i] == QLatin1Char('.') && isDigit(text[i + 1]))
            ++i;
        else
            break;
    }
    version.suffix = suffixPieces(text.mid(i));
    return version;
}

int compareNumbers(const QList<qulonglong>& a, const QList<qulonglong>& b)
{
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const qulonglong x = i < a.size() ? a[i] : 0;
        const qulonglong y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool isNumber(const QString& piece) { return !piece.isEmpty() && isDigit(piece.front()); }

int comparePieces(const QString& a, const QString& b)
{
    if (isNumber(a) && isNumber(b)) {
        const qulonglong x = toNumber(a);
        const qulonglong y = toNumber(b);
        return x == y ? 0 : (x < y ? -1 : 1);
    }
    // A word ("beta") is older than a number at the same place.
    if (isNumber(a) != isNumber(b))
        return isNumber(a) ? 1 : -1;
    const int order = a.compare(b);
    return order == 0 ? 0 : (order < 0 ? -1 : 1);
}

int compareSuffixes(const QStringList& a, const QStringList& b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() == b.isEmpty() ? 0 : (a.isEmpty() ? 1 : -1);
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (const int order = comparePieces(a[i], b[i]); order != 0)
            return order;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

int compareVersions(QStringView a, QStringView b)
{
    const ParsedVersion x = parse(a);
    const ParsedVersion y = parse(b);
    if (const int order = compareNumbers(x.numbers, y.numbers); order != 0)
        return order;
    return compareSuffixes(x.suffix, y.suffix);
}

} // namespace kestrune
