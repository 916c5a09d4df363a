// Stands in for the adapter's driver library in the end-to-end run under
// Wine: the eight operations by ordinal, as the real library exports them,
// carrying every frame over a TCP connection to rvk-ktx-bridge on the Linux
// side, which puts it on a virtual CAN bus. Each frame travels as the 12-byte
// record the driver exchanges. The port comes from RVK_KTX_BRIDGE_PORT.

#include "link/win/ktxdlldriver.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace {
constexpr int recordBytes = 12;
SOCKET bridge = INVALID_SOCKET;

void disconnect()
{
    if (bridge != INVALID_SOCKET)
        closesocket(bridge);
    bridge = INVALID_SOCKET;
}

bool connectToBridge()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    const char *port = std::getenv("RVK_KTX_BRIDGE_PORT");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(port ? port : "0")));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bridge = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (bridge == INVALID_SOCKET)
        return false;
    if (connect(bridge, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        disconnect();
        return false;
    }
    const BOOL noDelay = TRUE;
    setsockopt(bridge, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&noDelay), sizeof noDelay);
    return true;
}

bool transfer(char *buffer, bool sending)
{
    int done = 0;
    while (done < recordBytes) {
        const int n = sending ? send(bridge, buffer + done, recordBytes - done, 0)
                              : recv(bridge, buffer + done, recordBytes - done, 0);
        if (n <= 0) {
            disconnect();
            return false;
        }
        done += n;
    }
    return true;
}
} // namespace

extern "C" {

std::int32_t RVK_KTXDRV_CALL bridgeKtxWrite(const void *message)
{
    char record[recordBytes];
    std::memcpy(record, message, recordBytes);
    return bridge != INVALID_SOCKET && transfer(record, true) ? 0 : -1;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxIsNewMsg()
{
    u_long waiting = 0;
    if (bridge == INVALID_SOCKET || ioctlsocket(bridge, FIONREAD, &waiting) != 0)
        return 0;
    return waiting >= recordBytes ? 1 : 0;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxClose()
{
    disconnect();
    return 0;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxInfo()
{
    return bridge != INVALID_SOCKET ? 0 : -1;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxOpen(const char *, std::uint32_t *out1, std::uint32_t *out2,
                                           std::int32_t, std::int32_t)
{
    *out1 = 0;
    *out2 = 0;
    disconnect();
    return connectToBridge() ? 0 : 1;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxRead(void *message)
{
    char record[recordBytes];
    if (bridge == INVALID_SOCKET || !transfer(record, false))
        return -1;
    std::memcpy(message, record, recordBytes);
    return 0;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxSetup(const void *)
{
    return 0;
}

std::int32_t RVK_KTXDRV_CALL bridgeKtxDeviceInfo(char *buffer)
{
    std::strcpy(buffer, "RVK bridge to a virtual CAN bus");
    return 0;
}

} // extern "C"
