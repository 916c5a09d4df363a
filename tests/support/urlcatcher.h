#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Takes the place of the desktop's handlers for file, http and https URLs,
// so a test never opens a browser; the URLs are kept for assertions.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    static void install();
    static UrlCatcher &instance();

    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl &url);
};
