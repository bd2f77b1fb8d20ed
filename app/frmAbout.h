#pragma once

#include <QDialog>
#include <QString>

#include "app/ProgramLauncher.h"
#include "app/Registry.h"
#include "support/MessageSink.h"

class QLabel;
class QPushButton;

namespace zep {

// The about box: title, version, description and credits, a button that starts the system
// information tool the registry names, and one that shows the licence.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(Registry& registry, ProgramLauncher& launcher, MessageSink& messages,
             QWidget* parent = nullptr);

    // "Version : " and the program's version, always followed by " beta".
    static QString VersionLine();

private:
    void BuildControls();
    void Form_Load();
    void StartSysInfo();

    Registry& registry_;
    ProgramLauncher& launcher_;
    MessageSink& messages_;

    QLabel* picIcon_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblDisclaimer_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    QPushButton* cmdLicence_ = nullptr;
};

}  // namespace zep
