#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "support/AppINI.h"
#include "support/MessageSink.h"
#include "support/Options.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QWidget;

namespace zep {

// The options dialog: edits the five in-memory options and, when confirmed, stores them in
// section "Setup" of the settings file. Opened modally by the main window; every opening starts
// from the in-memory options.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    frmOptions(Options& options, AppINI& settingsStore, MessageSink& messages,
               QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void WatchKeysOfAllControls();
    void LoadOptions();
    bool ValidateTolPerLin();
    bool ValidateTolerance();
    void SaveOptions();
    void cmdOK_Click();
    void tbsOptions_Click(int selectedIndex);
    // Ctrl+Tab and Ctrl+Shift+Tab; false for every other key, which the controls then get.
    bool HandleTabKeys(const QKeyEvent& event);

    Options& options_;
    AppINI& settingsStore_;
    MessageSink& messages_;

    QTabBar* tbsOptions_ = nullptr;
    std::array<QWidget*, 4> picOptions_{};
    QGroupBox* fraSample1_ = nullptr;
    QLineEdit* txtDefTolerance_ = nullptr;
    QLineEdit* txtTolPerLin_ = nullptr;
    QCheckBox* chkSortAscii_ = nullptr;
    QCheckBox* chkAdjToMax_ = nullptr;
    QCheckBox* chkSortSpaceToLast_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    // What LoadOptions showed of the tolerance.
    QString loadedTolerance_;
    // The values ValidateTolPerLin and ValidateTolerance accepted, for SaveOptions.
    std::int16_t tolPerLin_ = 0;
    std::string tolerance_;
};

}  // namespace zep
