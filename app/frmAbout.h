#pragma once

#include <QDialog>

#include "support/MessageSink.h"

namespace zep {

// The about box: title, version, description and credits, a button that starts the system
// information tool the registry names, and one that shows the licence.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(MessageSink& messages, QWidget* parent);

private:
    // Puts the texts on the box.
    void Form_Load();
    void StartSysInfo();

    MessageSink& messages_;
};

}  // namespace zep
