#include "app/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/QtText.h"

namespace zep {
namespace {

int Box(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        const QString& detail) {
    const bool question = icon == QMessageBox::Question;
    QMessageBox box(icon, title, text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (question) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    box.setDetailedText(detail);  // none when empty
    return box.exec();
}

QStringList FileDialog(QWidget* parent, const QString& title, const QString& filter,
                       const QString& folder, bool save) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(save ? QStringLiteral("Zep") : QString());
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

}  // namespace

void DialogMessageSink::ShowMessage(std::string_view text, MessageIcon icon,
                                    std::string_view detail) {
    dialogs_.ShowMessage(parent, QString::fromLatin1(kMessageTitle), FromBytes(text), icon,
                         FromBytes(detail));
}

bool DialogMessageSink::AskYesNo(std::string_view text, std::string_view detail) {
    return dialogs_.AskYesNo(parent, QString::fromLatin1(kMessageTitle), FromBytes(text),
                             FromBytes(detail));
}

QStringList QtUserDialogs::GetOpenFileNames(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& folder) {
    return FileDialog(parent, title, filter, folder, false);
}

QString QtUserDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& folder) {
    return FileDialog(parent, title, filter, folder, true).value(0);
}

void QtUserDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text,
                                MessageIcon icon, const QString& detail) {
    constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                            QMessageBox::Critical};
    Box(parent, kIcons[static_cast<int>(icon)], title, text, detail);
}

bool QtUserDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text,
                             const QString& detail) {
    return Box(parent, QMessageBox::Question, title, text, detail) == QMessageBox::Yes;
}

}  // namespace zep
