#include "mainwindow.h"
#include "productionbackends.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    installProductionBackends();
    int result = 0;
    {
        MainWindow window;
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        window.resize(window.width(), window.minimumHeight());
        window.show();
        result = application.exec();
    }
    return result;
}
