#pragma once

// What the stand-in for the D2XX library records and answers, read and
// scripted by the test through the library's extra named export.

#include <cstdint>

enum FakeD2xxEntry {
    FakeListDevices = 1,
    FakeOpenEx,
    FakeGetQueueStatus,
    FakeSetDtr,
    FakeSetRts,
    FakeClrRts,
    FakeClose,
};

struct FakeD2xxCall
{
    int entry = 0;
    // List devices: its two arguments; open: the description argument.
    void *arg1 = nullptr;
    void *arg2 = nullptr;
    unsigned long flags = 0;
    // Open: the description text as received.
    char text[64] = {};
    // Open: the handle pointer; queue status: the count pointer.
    void *out = nullptr;
    // Queue status: the count's value on entry.
    unsigned long countOnEntry = 0;
    // The handle argument of the handle operations.
    void *handle = nullptr;
};

struct FakeD2xxState
{
    static constexpr int capacity = 32;
    int callCount = 0;
    FakeD2xxCall calls[capacity];
    // The status each entry returns, by FakeD2xxEntry.
    unsigned long results[8] = {};
    // Listing by count writes deviceCount; by index copies descriptions[index].
    unsigned long deviceCount = 0;
    char descriptions[4][64] = {};
    // Open writes openedHandle; queue status writes queueCount.
    void *openedHandle = nullptr;
    unsigned long queueCount = 0;
};

// Exported by name as "fakeD2xxState".
using FakeD2xxStateFunction = FakeD2xxState *(*)();
