// The README's picture; tools/screenshot.sh runs it on the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

#include "app/ModuleMain.h"
#include "app/UserDialogs.h"

namespace {

// Messages go to stderr, as nothing may wait for a click; no other dialog comes up.
class SampleDialogs : public zep::QtUserDialogs {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text, zep::MessageIcon,
                     const QString& detail) override {
        std::fprintf(stderr, "%s %s\n", qPrintable(text), qPrintable(detail));
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ZEPScreenshot <folder of .Zep files> <output.png>\n");
        return 2;
    }
    const QDir samples(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    for (const QString& name :
         samples.entryList({QStringLiteral("*.Zep")}, QDir::Files, QDir::Name)) {
        files.append(samples.filePath(name));
    }
    if (files.size() < 2) {
        std::fprintf(stderr, "need two or more .Zep files in %s\n", argv[1]);
        return 1;
    }

    QTemporaryDir settings;
    SampleDialogs dialogs;
    const std::unique_ptr<zep::Program> program = zep::StartUp(
        settings.filePath(QStringLiteral("ZEPConverter.ini")).toStdString(), dialogs, files);
    zep::frmMain& form = *program->MainForm;
    form.resize(720, 360);
    form.findChild<QAction*>(QStringLiteral("mnuToolsCompare"))->trigger();
    auto* list = form.findChild<QTreeWidget*>(QStringLiteral("lvFile"));
    list->setCurrentItem(list->topLevelItem(0));
    list->resizeColumnToContents(0);
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
