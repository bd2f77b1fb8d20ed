#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "support/AppINI.h"
#include "support/MessageSink.h"
#include "support/Options.h"

class QCheckBox;
class QLineEdit;
class QTabBar;

namespace zep {

// Edits the in-memory options; OK also stores them in section "Setup" of the settings file.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    frmOptions(Options& options, AppINI& settingsStore, MessageSink& messages,
               QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LoadOptions();
    bool ValidateTolPerLin();
    bool ValidateTolerance();
    void SaveOptions();
    void cmdOK_Click();
    void tbsOptions_Click(int selectedIndex);

    Options& options_;
    AppINI& settingsStore_;
    MessageSink& messages_;

    QTabBar* tbsOptions_ = nullptr;
    std::array<QWidget*, 4> picOptions_{};
    QLineEdit* txtDefTolerance_ = nullptr;
    QLineEdit* txtTolPerLin_ = nullptr;
    QCheckBox* chkSortAscii_ = nullptr;
    QCheckBox* chkAdjToMax_ = nullptr;
    QCheckBox* chkSortSpaceToLast_ = nullptr;
    QString loadedTolerance_;
    // Accepted by the Validate functions, for SaveOptions.
    std::int16_t tolPerLin_ = 0;
    std::string tolerance_;
};

}  // namespace zep
