#pragma once

#include <QString>
#include <QStringList>

#include "support/MessageSink.h"

class QWidget;

namespace zep {

// Everything the window asks of the user, so tests can answer with preset replies.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Empty folder means the working folder; the save target comes with overwriting confirmed.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& folder) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder) = 0;
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                             MessageIcon icon, const QString& detail) = 0;
    // No is the default.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                          const QString& detail) = 0;
};

inline constexpr char kMessageTitle[] = "ZEP converter";

class DialogMessageSink : public MessageSink {
public:
    explicit DialogMessageSink(UserDialogs& dialogs) : dialogs_(dialogs) {}

    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view detail) override;
    bool AskYesNo(std::string_view text, std::string_view detail) override;

    QWidget* parent = nullptr;

private:
    UserDialogs& dialogs_;
};

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
