#pragma once

#include <QDialog>

#include "support/MessageSink.h"

namespace zep {

class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(MessageSink& messages, QWidget* parent);

private:
    void Form_Load();
    void StartSysInfo();

    MessageSink& messages_;
};

}  // namespace zep
