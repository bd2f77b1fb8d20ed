#include "app/frmOptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <charconv>
#include <optional>

#include "app/QtText.h"
#include "support/AppSettings.h"
#include "support/AsciiText.h"
#include "support/StringTable.h"

namespace zep {
namespace {

constexpr int kPageShownLeftTwips = 210;
constexpr int kPageHiddenLeftTwips = -20000;

// Blanks around it allowed; no fractions, exponents or thousands separators.
std::optional<std::int16_t> ParseAmount(std::string_view text) {
    std::string_view token = Trim(text);
    if (token.size() > 1 && token.front() == '+' && token[1] != '-') {
        token.remove_prefix(1);
    }
    std::int16_t number = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (token.empty() || error != std::errc() || end != token.data() + token.size()) {
        return std::nullopt;
    }
    return number;
}

int TwipsToPixels(const QWidget& widget, int twips) {
    return twips * widget.logicalDpiX() / 1440;
}

// Pages sit as far below the strip's edge as the shown page sits from its left.
int PageTop(const QWidget& widget) {
    return TwipsToPixels(widget, kPageShownLeftTwips) / 2;
}

template <typename Control>
Control* Make(QWidget* parent, const QString& name, const QString& tag, const char* text = "") {
    auto* control = new Control(parent);
    control->setObjectName(name);
    control->setProperty(kTagProperty, tag);
    if constexpr (std::is_same_v<Control, QGroupBox>) {
        control->setTitle(text);
    } else {
        control->setText(text);
    }
    return control;
}

}  // namespace

frmOptions::frmOptions(Options& options, AppINI& settingsStore, MessageSink& messages,
                       QWidget* parent)
    : QDialog(parent), options_(options), settingsStore_(settingsStore), messages_(messages) {
    setObjectName("frmOptions");
    BuildControls();
    // The dialog sees Ctrl+Tab before whichever control has the focus.
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }
    ApplyResStrings(this);
    LoadOptions();
    tbsOptions_Click(tbsOptions_->currentIndex());
}

void frmOptions::BuildControls() {
    setProperty(kTagProperty, QString("1028"));
    setWindowTitle("Option");
    tbsOptions_ = new QTabBar(this);
    tbsOptions_->setObjectName("tbsOptions");
    tbsOptions_->addTab("Custom");
    tbsOptions_->setTabData(0, QString("1029"));
    // Pages are placed by hand, like the tab strip's own: unselected ones far left, out of sight.
    tbsOptions_->setExpanding(false);
    tbsOptions_->setDrawBase(false);
    auto* pageArea = new QFrame(this);
    pageArea->setObjectName("pageArea");
    pageArea->setFrameShape(QFrame::StyledPanel);
    for (std::size_t i = 0; i < picOptions_.size(); ++i) {
        picOptions_[i] = new QWidget(pageArea);
        picOptions_[i]->setObjectName(QString("picOptions_%1").arg(i));
        auto* frame = Make<QGroupBox>(picOptions_[i], QString("fraSample%1").arg(i + 1),
                                      QString::number(1029 + i));
        auto* pageLayout = new QVBoxLayout(picOptions_[i]);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(frame);
    }

    QGroupBox* fraSample1 = picOptions_[0]->findChild<QGroupBox*>();
    fraSample1->setTitle("Custom");
    txtDefTolerance_ = Make<QLineEdit>(fraSample1, "txtDefTolerance", "");
    txtTolPerLin_ = Make<QLineEdit>(fraSample1, "txtTolPerLin", "");
    chkSortAscii_ =
        Make<QCheckBox>(fraSample1, "chkSortAscii", "402", "Auto Sort By ASCII Before Compare.");
    chkAdjToMax_ = Make<QCheckBox>(fraSample1, "chkAdjToMax", "403",
                                   "Adjust String Number To MAX Number In List.");
    chkSortSpaceToLast_ = Make<QCheckBox>(fraSample1, "chkSortSpaceToLast", "1043",
                                          "When sort ASCII put SPACE string to last.");
    auto* fields = new QGridLayout(fraSample1);
    fields->addWidget(
        Make<QLabel>(fraSample1, "LabDefTolerance", "400", "Default standard deviation :"), 0, 0);
    fields->addWidget(txtDefTolerance_, 0, 1);
    fields->addWidget(
        Make<QLabel>(fraSample1, "LabTolPerLine", "401", "Amount per deviation line :"), 1, 0);
    fields->addWidget(txtTolPerLin_, 1, 1);
    fields->addWidget(chkSortAscii_, 2, 0, 1, 2);
    fields->addWidget(chkAdjToMax_, 3, 0, 1, 2);
    fields->addWidget(chkSortSpaceToLast_, 4, 0, 1, 2);

    const QSize pageSize = picOptions_[0]->sizeHint().expandedTo(QSize(360, 0));
    const int shownLeft = TwipsToPixels(*this, kPageShownLeftTwips);
    pageArea->setFixedSize(pageSize.width() + 2 * shownLeft, pageSize.height() + shownLeft);
    for (QWidget* page : picOptions_) {
        page->resize(pageSize);
        page->move(TwipsToPixels(*this, kPageHiddenLeftTwips), PageTop(*this));
        page->setEnabled(false);
    }

    auto* cmdOK = Make<QPushButton>(this, "cmdOK", "1035", "&OK");
    cmdOK->setDefault(true);
    auto* cmdCancel = Make<QPushButton>(this, "cmdCancel", "1034", "&Cancel");
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(tbsOptions_, &QTabBar::tabBarClicked, this, &frmOptions::tbsOptions_Click);
    connect(tbsOptions_, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);
    // The box only places the buttons; their own clicks do the work.
    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName("buttons");
    buttons->addButton(cmdOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel, QDialogButtonBox::RejectRole);
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->addWidget(tbsOptions_);
    outer->addWidget(pageArea);
    outer->addSpacing(shownLeft / 2);
    outer->addWidget(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the tabs; other keys are for the controls.
bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    const auto* key =
        event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent*>(event) : nullptr;
    if (key == nullptr || !key->modifiers().testFlag(Qt::ControlModifier) ||
        (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)) {
        return QDialog::eventFilter(watched, event);
    }
    const bool backwards =
        key->modifiers().testFlag(Qt::ShiftModifier) || key->key() == Qt::Key_Backtab;
    const int count = tbsOptions_->count();
    const int next = (tbsOptions_->currentIndex() + (backwards ? count - 1 : 1)) % count;
    tbsOptions_->setCurrentIndex(next);
    tbsOptions_Click(next);
    return true;
}

// Tab i shows page i; pages without a tab stay wherever they were put last.
void frmOptions::tbsOptions_Click(int selectedIndex) {
    if (selectedIndex < 0) {
        return;
    }
    const int count = std::min(tbsOptions_->count(), static_cast<int>(picOptions_.size()));
    for (int i = 0; i < count; ++i) {
        QWidget* page = picOptions_[static_cast<std::size_t>(i)];
        page->move(
            TwipsToPixels(*this, i == selectedIndex ? kPageShownLeftTwips : kPageHiddenLeftTwips),
            PageTop(*this));
        page->setEnabled(i == selectedIndex);
    }
}

void frmOptions::LoadOptions() {
    loadedTolerance_ = QString::fromStdString(options_.STR_OPT_TOLERANCE);
    txtDefTolerance_->setText(loadedTolerance_);
    txtTolPerLin_->setText(QString::number(options_.LNG_OPT_COUNT_PER_TOLERANCELINE));
    chkSortAscii_->setChecked(options_.BLN_OPT_SORTASCII);
    chkAdjToMax_->setChecked(options_.BLN_OPT_ADJTOMAXCOUNT);
    chkSortSpaceToLast_->setChecked(options_.BLN_OPT_SORT_SPACE_TO_LAST);
}

bool frmOptions::ValidateTolPerLin() {
    const std::string text = txtTolPerLin_->text().toStdString();
    const std::optional<std::int16_t> amount = ParseAmount(text);
    if (!amount || text.find('.') != std::string::npos) {
        messages_.ShowMessage(ResString(2008), MessageIcon::Critical);
        return false;
    }
    if (*amount < 1) {
        messages_.ShowMessage(ResString(2009), MessageIcon::Critical);
        return false;
    }
    tolPerLin_ = *amount;
    txtTolPerLin_->setText(QString::number(*amount));
    return true;
}

bool frmOptions::ValidateTolerance() {
    const QString shown = txtDefTolerance_->text();
    // A text the user left alone keeps its bytes, even ones the text box cannot show.
    const std::string text =
        shown == loadedTolerance_ ? options_.STR_OPT_TOLERANCE : shown.toStdString();
    const std::string_view word = Trim(text, kToleranceBlanks);
    if (!IsUsableTolerance(word)) {
        messages_.ShowMessage(ResString(2010), MessageIcon::Critical);
        return false;
    }
    tolerance_ = word;
    if (tolerance_ != text) {
        txtDefTolerance_->setText(QString::fromStdString(tolerance_));
    }
    return true;
}

void frmOptions::SaveOptions() {
    options_.STR_OPT_TOLERANCE = tolerance_;
    options_.LNG_OPT_COUNT_PER_TOLERANCELINE = tolPerLin_;
    // A grayed box counts as off, like an unchecked one.
    options_.BLN_OPT_SORTASCII = chkSortAscii_->checkState() == Qt::Checked;
    options_.BLN_OPT_ADJTOMAXCOUNT = chkAdjToMax_->checkState() == Qt::Checked;
    options_.BLN_OPT_SORT_SPACE_TO_LAST = chkSortSpaceToLast_->checkState() == Qt::Checked;
    WriteOptions(settingsStore_, options_);
}

void frmOptions::cmdOK_Click() {
    if (ValidateTolPerLin() && ValidateTolerance()) {
        SaveOptions();
        accept();
    }
}

}  // namespace zep
