#pragma once

#include "stagehands.h"

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
    int port = 35611;   // first of three private bus ports
    QString databasePassword;
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

    SceneSettings m_settings;
    QDir m_scratch;
    ReportCatcher m_catcher;
    std::unique_ptr<ModuleProcess> m_module;
    std::unique_ptr<PasswordServer> m_passwordServer;
    MainWindow *m_window = nullptr;
};
