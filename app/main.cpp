#include <QApplication>
#include <QIcon>

#include "app/ModuleMain.h"
#include "app/UserDialogs.h"
#include "support/AppSettings.h"

// The command line is not read: the program always starts with an empty list.
int main(int argc, char* argv[]) {
    Q_INIT_RESOURCE(icons);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZEPConverter"));
    QApplication::setDesktopFileName(QStringLiteral("ZEPConverter"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ZEPConverter.png")));

    zep::QtUserDialogs dialogs;
    const std::unique_ptr<zep::Program> program =
        zep::StartUp(zep::SettingsFileFor(zep::RunningExecutablePath()), dialogs);
    return QApplication::exec();
}
