#pragma once

#include "tools/rvk-guide-shots/stagehands.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <memory>

class MainWindow;
class QWidget;

struct SceneSettings
{
    QString outDir;     // where the pictures go
    QString scratchDir; // working folders, the module's EEPROM, settings
    // Private virtual bus ports: the first scenes', the trends scene's (the
    // program may host the first bus itself once the module is gone) and the
    // run without the translation's.
    int ports[3] = {0, 0, 0};
    QString databasePassword;
    bool withBrowser = true; // report.png is drawn by chromium
    int liveSeconds = 40;    // how long the trends window follows the monitor
    bool quick = false;      // no pauses for painting: a check of the scenes
};

// The user guide's scenes, in the order the guide tells them. Each starts
// the program's real main window as a user would start the program, works
// it through its widgets by object name and saves what the user sees.
class Scenes
{
public:
    explicit Scenes(const SceneSettings &settings);
    ~Scenes();

    // Everything but the missing translation, which needs the program
    // without its translation file beside it (another process).
    void runMain();
    void runMissingTranslation();

private:
    void noAdapter();
    void connectedAndReadOut();
    void serviceModeAndDatabase();
    void moduleHistory(QWidget *dialog);
    void fleet();
    void debugMonitor();
    void noDatabase();
    void linkLost();
    void trends();

    MainWindow *startWindow(const QString &folder, bool withDatabase = true);
    void stopWindow();
    void enterServiceMode(const QString &shot = QString());
    void readReport();
    void waitUntilLinked();
    void save(const QImage &image, const QString &name);
    // The last document opened whose name starts so.
    QString openedDocument(const QString &prefix) const;
    // The document drawn by chromium, saved as name.
    void browserShot(const QString &document, const QString &name);

    SceneSettings m_settings;
    QDir m_scratch;
    ReportCatcher m_catcher;
    std::unique_ptr<ModuleProcess> m_module;
    std::unique_ptr<PasswordServer> m_passwordServer;
    MainWindow *m_window = nullptr;
};
