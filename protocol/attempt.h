#pragma once

#include <QString>

#include <utility>

// What an operation came to: whether it did what it was asked, why not (in
// the words of whoever refused: the server, the driver, the file system, or
// the program's own), and what it produced. The value stays meaningful on
// failure where an operation has something to show for a broken-off attempt
// (the rows an export wrote); otherwise it is the type's default.
template <class T = void>
struct Attempt
{
    bool ok = false;
    // Empty when ok.
    QString error;
    T value{};

    static Attempt done(T value) { return {true, QString(), std::move(value)}; }
    static Attempt failed(const QString &error, T value = T()) { return {false, error, std::move(value)}; }
};

template <>
struct Attempt<void>
{
    bool ok = false;
    QString error;

    static Attempt done() { return {true, QString()}; }
    static Attempt failed(const QString &error) { return {false, error}; }
};
