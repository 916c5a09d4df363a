#include "tests/support/urlcatcher.h"

#include <QDesktopServices>

UrlCatcher &UrlCatcher::instance()
{
    static UrlCatcher catcher;
    return catcher;
}

void UrlCatcher::install()
{
    for (const char *scheme : {"file", "http", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &instance(), "openUrl");
}

void UrlCatcher::openUrl(const QUrl &url)
{
    urls.append(url);
}
