#include <QApplication>
#include <QIcon>
#include <iostream>

#include "app/ModuleMain.h"
#include "app/UserDialogs.h"
#include "support/AppSettings.h"

int main(int argc, char* argv[]) {
    if (const std::optional<int> answered = zep::AnswerHelpOrVersion(argc, argv, std::cout)) {
        return *answered;
    }
    Q_INIT_RESOURCE(icons);
    QApplication application(argc, argv);  // takes Qt's own options out of argv
    const std::optional<QStringList> files = zep::FilesToOpen(argc, argv, std::cerr);
    if (!files) {
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("ZEPConverter"));
    QApplication::setDesktopFileName(QStringLiteral("ZEPConverter"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ZEPConverter.png")));

    zep::QtUserDialogs dialogs;
    const std::unique_ptr<zep::Program> program =
        zep::StartUp(zep::SettingsFileFor(zep::RunningExecutablePath()), dialogs, *files);
    return QApplication::exec();
}
