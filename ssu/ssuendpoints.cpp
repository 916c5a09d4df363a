#include "ssu/ssuendpoints.h"

#include "ssu/deployment.h"

#include <optional>

namespace {
std::optional<SsuEndpoints> &replaced()
{
    static std::optional<SsuEndpoints> endpoints;
    return endpoints;
}
} // namespace

SsuEndpoints SsuEndpoints::deployment()
{
    // The deployment's scheme: a station built for https fetches the
    // password over https only.
    return {QLatin1String(Deployment::databaseHost), QLatin1String(Deployment::databaseCaFile),
            QUrl(QStringLiteral("%1://%2/downloads/ssu.pas")
                     .arg(QLatin1String(Deployment::webScheme), QLatin1String(Deployment::webServer))),
            QString::fromUtf8(Deployment::webCaFile)};
}

SsuEndpoints SsuEndpoints::current()
{
    return replaced() ? *replaced() : deployment();
}

void SsuEndpoints::replace(const SsuEndpoints &endpoints)
{
    replaced() = endpoints;
}
