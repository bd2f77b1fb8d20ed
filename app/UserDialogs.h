#pragma once

#include <QString>
#include <QStringList>

#include "support/MessageSink.h"

class QWidget;

namespace zep {

// Everything the main window asks of the user: the file dialogs, the message boxes and the modal
// windows it opens. The program shows real dialogs; tests answer with preset replies and see
// every message.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // The file dialogs open in folder (the working folder when it is empty).
    // The chosen existing files in the order given; empty when the user cancelled.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& folder) = 0;
    // The chosen target (overwriting confirmed); empty when the user cancelled.
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder) = 0;
    // A modal box with one OK button.
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                             MessageIcon icon, const QString& detail) = 0;
    // A question with Yes and No, No the default; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                          const QString& detail) = 0;
};

// The title of every message box of the program.
inline constexpr char kMessageTitle[] = "ZEP converter";

// Message boxes of the core operations, shown through the user dialogs over a parent window.
class DialogMessageSink : public MessageSink {
public:
    explicit DialogMessageSink(UserDialogs& dialogs, QWidget* parent = nullptr)
        : dialogs_(dialogs), parent_(parent) {}

    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view detail) override;
    bool AskYesNo(std::string_view text, std::string_view detail) override;

private:
    UserDialogs& dialogs_;
    QWidget* parent_;
};

// The real dialogs of the desktop.
class QtUserDialogs : public UserDialogs {
public:
    QStringList GetOpenFileNames(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& folder) override;
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& folder) override;
    void ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                     const QString& detail) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                  const QString& detail) override;
};

}  // namespace zep
