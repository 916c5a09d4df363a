#pragma once

// Ctrl+C and SIGTERM for a command that runs until one of them comes (the
// monitor, the production line's read loop): while an Interruption lives,
// the two signals only note that they came, and the command looks between
// its steps, so it still ends its work in order (the monitor switched off,
// a report under way read and kept). The handlers before are put back when
// it goes.
class Interruption
{
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption &) = delete;
    Interruption &operator=(const Interruption &) = delete;

    bool requested() const;
};
