#include "app/frmOptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "app/ApplyResStrings.h"
#include "support/AppSettings.h"
#include "support/StringTable.h"

namespace zep {

namespace {

constexpr int kPageShownLeftTwips = 210;
constexpr int kPageHiddenLeftTwips = -20000;

constexpr std::int32_t kMsgNotInteger = 2008;
constexpr std::int32_t kMsgBelowOne = 2009;
constexpr std::int32_t kMsgToleranceNotOneWord = 2010;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A signed whole number in the 16-bit range, blanks around it allowed; nothing for anything
// else (letters, fractions, exponents, thousands separators, out of range, empty).
std::optional<std::int16_t> ParseAmount(std::string_view text) {
    std::string_view token = TrimBlanks(text);
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

std::string ToStd(const QString& text) {
    return text.toStdString();
}

QString ToQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetTag(QObject& control, const char* tag) {
    control.setProperty("tag", QString(tag));
}

}  // namespace

frmOptions::frmOptions(Options& options, AppINI& settingsStore, MessageSink& messages,
                       QWidget* parent)
    : QDialog(parent), options_(options), settingsStore_(settingsStore), messages_(messages) {
    setObjectName("frmOptions");
    BuildControls();
    WatchKeysOfAllControls();
    ApplyResStrings(this);
    LoadOptions();
    tbsOptions_Click(tbsOptions_->currentIndex());
}

void frmOptions::BuildControls() {
    SetTag(*this, "1028");
    setWindowTitle("Option");

    tbsOptions_ = new QTabBar(this);
    tbsOptions_->setObjectName("tbsOptions");
    tbsOptions_->addTab("Custom");
    tbsOptions_->setTabData(0, QString("1029"));

    // The pages are placed by hand, like the tab strip's own pages: the one of the selected tab
    // sits in view, the others far to the left, out of sight.
    tbsOptions_->setExpanding(false);
    tbsOptions_->setDrawBase(false);
    auto* pageArea = new QFrame(this);
    pageArea->setObjectName("pageArea");
    pageArea->setFrameShape(QFrame::StyledPanel);
    for (std::size_t i = 0; i < picOptions_.size(); ++i) {
        auto* page = new QWidget(pageArea);
        page->setObjectName(QString("picOptions_%1").arg(i));
        page->setProperty("index", static_cast<int>(i));
        picOptions_[i] = page;
    }

    fraSample1_ = new QGroupBox("Custom", picOptions_[0]);
    fraSample1_->setObjectName("fraSample1");
    SetTag(*fraSample1_, "1029");
    auto* labDefTolerance = new QLabel("Default standard deviation :", fraSample1_);
    labDefTolerance->setObjectName("LabDefTolerance");
    SetTag(*labDefTolerance, "400");
    txtDefTolerance_ = new QLineEdit(fraSample1_);
    txtDefTolerance_->setObjectName("txtDefTolerance");
    auto* labTolPerLine = new QLabel("Amount per deviation line :", fraSample1_);
    labTolPerLine->setObjectName("LabTolPerLine");
    SetTag(*labTolPerLine, "401");
    txtTolPerLin_ = new QLineEdit(fraSample1_);
    txtTolPerLin_->setObjectName("txtTolPerLin");
    chkSortAscii_ = new QCheckBox("Auto Sort By ASCII Before Compare.", fraSample1_);
    chkSortAscii_->setObjectName("chkSortAscii");
    SetTag(*chkSortAscii_, "402");
    chkAdjToMax_ = new QCheckBox("Adjust String Number To MAX Number In List.", fraSample1_);
    chkAdjToMax_->setObjectName("chkAdjToMax");
    SetTag(*chkAdjToMax_, "403");
    chkSortSpaceToLast_ = new QCheckBox("When sort ASCII put SPACE string to last.", fraSample1_);
    chkSortSpaceToLast_->setObjectName("chkSortSpaceToLast");
    SetTag(*chkSortSpaceToLast_, "1043");

    auto* fields = new QGridLayout(fraSample1_);
    fields->addWidget(labDefTolerance, 0, 0);
    fields->addWidget(txtDefTolerance_, 0, 1);
    fields->addWidget(labTolPerLine, 1, 0);
    fields->addWidget(txtTolPerLin_, 1, 1);
    fields->addWidget(chkSortAscii_, 2, 0, 1, 2);
    fields->addWidget(chkAdjToMax_, 3, 0, 1, 2);
    fields->addWidget(chkSortSpaceToLast_, 4, 0, 1, 2);
    auto* page0 = new QVBoxLayout(picOptions_[0]);
    page0->setContentsMargins(0, 0, 0, 0);
    page0->addWidget(fraSample1_);

    const std::array<const char*, 3> sampleTags{"1030", "1031", "1032"};
    for (std::size_t i = 1; i < picOptions_.size(); ++i) {
        auto* frame = new QGroupBox(picOptions_[i]);
        frame->setObjectName(QString("fraSample%1").arg(i + 1));
        SetTag(*frame, sampleTags[i - 1]);
        auto* pageLayout = new QVBoxLayout(picOptions_[i]);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(frame);
    }

    const QSize pageSize = picOptions_[0]->sizeHint().expandedTo(QSize(360, 0));
    for (QWidget* page : picOptions_) {
        page->resize(pageSize);
    }
    const int shownLeft = TwipsToPixels(*this, kPageShownLeftTwips);
    pageArea->setFixedSize(pageSize.width() + 2 * shownLeft, pageSize.height() + shownLeft);
    // Every page starts out of sight; the tab strip's rule brings the selected one in.
    for (QWidget* page : picOptions_) {
        page->move(TwipsToPixels(*this, kPageHiddenLeftTwips), PageTop(*this));
        page->setEnabled(false);
    }

    cmdOK_ = new QPushButton("&OK", this);
    cmdOK_->setObjectName("cmdOK");
    SetTag(*cmdOK_, "1035");
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton("&Cancel", this);
    cmdCancel_->setObjectName("cmdCancel");
    SetTag(*cmdCancel_, "1034");
    connect(cmdOK_, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(tbsOptions_, &QTabBar::tabBarClicked, this, &frmOptions::tbsOptions_Click);
    connect(tbsOptions_, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);

    // The box only places the buttons, in the platform's order and spacing; the buttons' own
    // clicks do the work.
    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName("buttons");
    buttons->addButton(cmdOK_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel_, QDialogButtonBox::RejectRole);
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->addWidget(tbsOptions_);
    outer->addWidget(pageArea);
    outer->addSpacing(TwipsToPixels(*this, kPageShownLeftTwips) / 2);
    outer->addWidget(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

// The dialog sees Ctrl+Tab before whichever control has the focus.
void frmOptions::WatchKeysOfAllControls() {
    for (QWidget* control : findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleTabKeys(static_cast<QKeyEvent&>(*event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::keyPressEvent(QKeyEvent* event) {
    if (!HandleTabKeys(*event)) {
        QDialog::keyPressEvent(event);
    }
}

bool frmOptions::HandleTabKeys(const QKeyEvent& event) {
    const bool tabKey = event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
    if (!tabKey || !event.modifiers().testFlag(Qt::ControlModifier)) {
        return false;
    }
    const bool backwards =
        event.modifiers().testFlag(Qt::ShiftModifier) || event.key() == Qt::Key_Backtab;
    const int count = tbsOptions_->count();
    if (count == 0) {
        return true;
    }
    const int step = backwards ? count - 1 : 1;
    const int next = (tbsOptions_->currentIndex() + step) % count;
    tbsOptions_->setCurrentIndex(next);
    tbsOptions_Click(next);
    return true;
}

void frmOptions::tbsOptions_Click(int selectedIndex) {
    if (selectedIndex < 0) {
        return;
    }
    const int shownLeft = TwipsToPixels(*this, kPageShownLeftTwips);
    const int hiddenLeft = TwipsToPixels(*this, kPageHiddenLeftTwips);
    // Tab i shows page i; pages without a tab stay wherever they were put last.
    for (int i = 0; i < tbsOptions_->count() && i < static_cast<int>(picOptions_.size()); ++i) {
        QWidget* page = picOptions_[static_cast<std::size_t>(i)];
        const bool selected = i == selectedIndex;
        page->move(selected ? shownLeft : hiddenLeft, PageTop(*this));
        page->setEnabled(selected);
    }
}

void frmOptions::LoadOptions() {
    loadedTolerance_ = ToQt(options_.STR_OPT_TOLERANCE);
    txtDefTolerance_->setText(loadedTolerance_);
    txtTolPerLin_->setText(QString::number(options_.LNG_OPT_COUNT_PER_TOLERANCELINE));
    chkSortAscii_->setCheckState(options_.BLN_OPT_SORTASCII ? Qt::Checked : Qt::Unchecked);
    chkAdjToMax_->setCheckState(options_.BLN_OPT_ADJTOMAXCOUNT ? Qt::Checked : Qt::Unchecked);
    chkSortSpaceToLast_->setCheckState(options_.BLN_OPT_SORT_SPACE_TO_LAST ? Qt::Checked
                                                                           : Qt::Unchecked);
}

bool frmOptions::ValidateTolPerLin() {
    const std::string text = ToStd(txtTolPerLin_->text());
    const std::optional<std::int16_t> amount = ParseAmount(text);
    if (!amount || text.find('.') != std::string::npos) {
        messages_.ShowMessage(ResString(kMsgNotInteger), MessageIcon::Critical);
        return false;
    }
    if (*amount < 1) {
        messages_.ShowMessage(ResString(kMsgBelowOne), MessageIcon::Critical);
        return false;
    }
    tolPerLin_ = *amount;
    txtTolPerLin_->setText(QString::number(*amount));
    return true;
}

// Blanks typed around the word are forgiven and taken off.
bool frmOptions::ValidateTolerance() {
    const QString shown = txtDefTolerance_->text();
    // A text the user left alone keeps its bytes, even ones the text box cannot show.
    const std::string text = shown == loadedTolerance_ ? options_.STR_OPT_TOLERANCE : ToStd(shown);
    std::string_view word = text;
    word.remove_prefix(std::min(word.find_first_not_of(kToleranceBlanks), word.size()));
    word.remove_suffix(word.size() -
                       std::min(word.find_last_not_of(kToleranceBlanks) + 1, word.size()));
    if (!IsUsableTolerance(word)) {
        messages_.ShowMessage(ResString(kMsgToleranceNotOneWord), MessageIcon::Critical);
        return false;
    }
    tolerance_ = word;
    if (tolerance_ != text) {
        txtDefTolerance_->setText(ToQt(tolerance_));
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
    if (!ValidateTolPerLin() || !ValidateTolerance()) {
        return;
    }
    SaveOptions();
    accept();
}

}  // namespace zep
