#pragma once

// What the stand-in for the adapter's driver library records and answers,
// read and scripted by the test through the library's one named export.

#include <cstdint>

struct FakeKtxCall
{
    int ordinal = 0;
    // Open: the description as received, its output pointers and numbers.
    char description[64] = {};
    std::uint32_t *out1 = nullptr;
    std::uint32_t *out2 = nullptr;
    std::int32_t arg1 = 0;
    std::int32_t arg2 = 0;
    // Setup (10 bytes) and write (12 bytes): the record copied during the call.
    unsigned char record[12] = {};
    // Setup, device info, read and write: the pointer as received.
    const void *pointer = nullptr;
};

struct FakeKtxState
{
    static constexpr int capacity = 32;
    int callCount = 0;
    FakeKtxCall calls[capacity];
    // The result each operation returns, by ordinal.
    std::int32_t results[16] = {};
    // Open writes these into its output words.
    std::uint32_t openOutputs[2] = {};
    // Read copies this into the caller's record.
    unsigned char nextRead[12] = {};
    // Device info copies this, with its NUL, into the caller's buffer.
    char deviceInfoText[32] = {};
};

// Exported by name as "fakeKtxState".
using FakeKtxStateFunction = FakeKtxState *(*)();
