#pragma once

// The SSU's waits in one place: how long a host's open, a statement and the
// password download may take. The values are the program's and nothing in
// it changes them. They are settable because the rules built on them (a
// silent server given up, the report archived) do not depend on their
// length: the tests run the same rules at a second or two instead of tens of
// seconds. Connections and downloads started from then on take the values.
struct SsuTimings
{
    // A host's whole open: the TCP connection, TLS, the login and the
    // readiness checks of a cluster node.
    int connectMs = 5000;
    // Each statement, from its sending to its last row.
    int statementMs = 20000;
    // The password file from the SSU's web server.
    int passwordDownloadMs = 15000;

    static SsuTimings current();
    static void setCurrent(const SsuTimings &timings);
};
