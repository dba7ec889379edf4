#include "ProgramStart.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("售后服务管理系统"));
    QApplication::setApplicationVersion(QStringLiteral(AFTERSALES_VERSION));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Program folder holding Config.ini and DataBase/ (default: the executable's folder)."),
                                  QStringLiteral("DIR"));
    parser.addOption(home);
    parser.process(app);

    ProgramStart::setUpLook();
    ProgramStart::setUpLanguage();
    ProgramStart start(parser.isSet(home) ? parser.value(home) : QApplication::applicationDirPath());
    if (!start.run())
        return 0;
    return app.exec();
}
