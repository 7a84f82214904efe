#pragma once
// Where the product's plain status lines go (consoleWords: quitting, the
// keyboards unreadable, …). Never given keystroke content.

#include <QString>

namespace kestrune {

class Console {
public:
    virtual ~Console() = default;
    // Writes one line (a line feed is added). Any thread.
    virtual void printLine(const QString& line) = 0;
};

// Standard output, flushed per line; lines from different threads never interleave.
class StdoutConsole final : public Console {
public:
    void printLine(const QString& line) override;
};

} // namespace kestrune
