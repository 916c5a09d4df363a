#include "ssu/driver/readbound.h"

#include "ssu/driver/deadlinewait.h"

#include <algorithm>
#include <limits>

#include <mysql.h>
#include <ma_pvio.h>

struct ReadBound::Transport
{
    // First, so that the library's pointer to the functions is a pointer to
    // this whole object (a standard-layout struct and its first member share
    // their address).
    PVIO_METHODS methods{};
    const PVIO_METHODS *original = nullptr;
    bool bounded = false;
    qint64 budget = 0;
    qint64 read = 0;
    int maxColumns = 0;
    bool refused = false;
    // The answer's first bytes: the first packet's header and the start of
    // its payload, where the column count is.
    unsigned char head[13] = {};
    int headSize = 0;
    bool headChecked = false;

    static Transport *of(MARIADB_PVIO *pvio) { return reinterpret_cast<Transport *>(pvio->methods); }

    // How much the next read may ask for; 0 once the budget is spent, and
    // the connection is then cut.
    size_t allowance(MARIADB_PVIO *pvio, size_t wanted)
    {
        if (!bounded)
            return wanted;
        if (refused || read >= budget) {
            refuse(pvio);
            return 0;
        }
        return size_t(std::min<qint64>(qint64(wanted), budget - read));
    }

    void refuse(MARIADB_PVIO *pvio)
    {
        refused = true;
        DeadlineWait::cut(pvio->mysql);
    }

    void account(MARIADB_PVIO *pvio, const uchar *buffer, ssize_t got)
    {
        if (!bounded || got <= 0)
            return;
        read += got;
        if (headChecked)
            return;
        const int take = int(std::min<qint64>(qint64(sizeof head) - headSize, got));
        std::copy(buffer, buffer + take, head + headSize);
        headSize += take;
        const qint64 count = columnCount();
        if (count < 0)
            return;
        headChecked = true;
        if (count > maxColumns)
            refuse(pvio);
    }

    // The count the first packet announces; 0 for an OK, error or file
    // request packet, -1 while too little has arrived to tell.
    qint64 columnCount() const
    {
        if (headSize < 5)
            return -1;
        const unsigned char first = head[4];
        if (first < 0xfb)
            return first;
        const int width = first == 0xfc ? 2 : first == 0xfd ? 3 : first == 0xfe ? 8 : 0;
        if (width == 0)
            return 0;
        if (headSize < 5 + width)
            return -1;
        quint64 count = 0;
        for (int i = width - 1; i >= 0; --i)
            count = (count << 8) | head[5 + i];
        return count > quint64(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                    : qint64(count);
    }
};

namespace {
ssize_t boundedRead(MARIADB_PVIO *pvio, uchar *buffer, size_t length)
{
    ReadBound::Transport *transport = ReadBound::Transport::of(pvio);
    // With nothing left, the read still goes to the cut socket, which tells
    // the library the connection ended.
    const ssize_t got = transport->original->read(pvio, buffer, transport->allowance(pvio, length));
    transport->account(pvio, buffer, got);
    return got;
}

ssize_t boundedAsyncRead(MARIADB_PVIO *pvio, uchar *buffer, size_t length)
{
    ReadBound::Transport *transport = ReadBound::Transport::of(pvio);
    const ssize_t got = transport->original->async_read(pvio, buffer, transport->allowance(pvio, length));
    transport->account(pvio, buffer, got);
    return got;
}
} // namespace

ReadBound::ReadBound()
    : transport(std::make_unique<Transport>())
{
}

ReadBound::~ReadBound() = default;

void ReadBound::attach(st_mysql *mysql)
{
    MARIADB_PVIO *pvio = mysql ? mysql->net.pvio : nullptr;
    if (!pvio || !pvio->methods)
        return;
    end();
    if (Transport::of(pvio) != transport.get()) {
        transport->original = pvio->methods;
        transport->methods = *pvio->methods;
        if (transport->methods.read)
            transport->methods.read = boundedRead;
        if (transport->methods.async_read)
            transport->methods.async_read = boundedAsyncRead;
        pvio->methods = &transport->methods;
    }
}

void ReadBound::begin(qint64 bytes, int columns)
{
    Transport &t = *transport;
    t.bounded = true;
    t.budget = bytes;
    t.maxColumns = columns;
    t.read = 0;
    t.refused = false;
    t.headSize = 0;
    t.headChecked = false;
}

void ReadBound::end()
{
    transport->bounded = false;
}

bool ReadBound::refused() const
{
    return transport->refused;
}

qint64 ReadBound::bytesRead() const
{
    return transport->read;
}
