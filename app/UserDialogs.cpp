#include "app/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace zep {
namespace {

// Message texts carry file names as the system spells them, next to texts of the string table.
QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void DialogMessageSink::ShowMessage(std::string_view text, MessageIcon icon,
                                    std::string_view detail) {
    dialogs_.ShowMessage(parent_, QString::fromLatin1(kMessageTitle), FromBytes(text), icon,
                         FromBytes(detail));
}

bool DialogMessageSink::AskYesNo(std::string_view text, std::string_view detail) {
    return dialogs_.AskYesNo(parent_, QString::fromLatin1(kMessageTitle), FromBytes(text),
                             FromBytes(detail));
}

QStringList QtUserDialogs::GetOpenFileNames(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& folder) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QString QtUserDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& folder) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("Zep"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void QtUserDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text,
                                MessageIcon icon, const QString& detail) {
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
    if (!detail.isEmpty()) {
        box.setDetailedText(detail);
    }
    box.exec();
}

bool QtUserDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text,
                             const QString& detail) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    if (!detail.isEmpty()) {
        box.setDetailedText(detail);
    }
    return box.exec() == QMessageBox::Yes;
}

}  // namespace zep
