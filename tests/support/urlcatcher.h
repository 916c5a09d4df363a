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
    // The report documents among them: every whole read-out also opens its
    // comparison with the module's previous report ("RVKChanges_...").
    QList<QUrl> reportDocuments() const
    {
        QList<QUrl> documents;
        for (const QUrl &url : urls) {
            if (url.fileName().startsWith(QLatin1String("RVKReport_")))
                documents << url;
        }
        return documents;
    }

public slots:
    void openUrl(const QUrl &url);
};
