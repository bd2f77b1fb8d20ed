#include "app/frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <string_view>

#include "support/ProgramInfo.h"
#include "support/StringTable.h"

namespace zep {

namespace {

constexpr std::string_view kSysInfoUnavailable = "此時的系統資訊無法取得";
constexpr int kIconSize = 32;

QString Res(std::int32_t id) {
    const std::string_view text = ResString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Line1(0) dark over Line1(1) light, together one etched rule.
QFrame* SeparatorLine(QWidget* parent, int index) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString("Line1_%1").arg(index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    line->setFixedHeight(1);
    line->setForegroundRole(index == 0 ? QPalette::Dark : QPalette::Light);
    return line;
}

// The licence's paragraphs each on one line, for the message box to wrap to its own width.
std::string Paragraphs(std::string_view text) {
    std::string flowed(text);
    for (std::size_t i = 1; i + 1 < flowed.size(); ++i) {
        if (flowed[i] == '\n' && flowed[i - 1] != '\n' && flowed[i + 1] != '\n') {
            flowed[i] = ' ';
        }
    }
    return flowed;
}

QIcon AboutIcon(const QWidget& dialog) {
    const QIcon programIcon = QApplication::windowIcon();
    if (!programIcon.isNull()) {
        return programIcon;
    }
    return dialog.style()->standardIcon(QStyle::SP_ComputerIcon);
}

}  // namespace

frmAbout::frmAbout(Registry& registry, ProgramLauncher& launcher, MessageSink& messages,
                   QWidget* parent)
    : QDialog(parent), registry_(registry), launcher_(launcher), messages_(messages) {
    setObjectName("frmAbout");
    BuildControls();
    Form_Load();
}

QString frmAbout::VersionLine() {
    return Res(1040) + " : " + QString::fromStdString(VersionNumber()) + " beta";
}

void frmAbout::BuildControls() {
    picIcon_ = new QLabel(this);
    picIcon_->setObjectName("picIcon");
    picIcon_->setPixmap(AboutIcon(*this).pixmap(kIconSize, kIconSize));
    picIcon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName("lblTitle");
    QFont titleFont = lblTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle_->setFont(titleFont);
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName("lblVersion");
    lblDescription_ = new QLabel(this);
    lblDescription_->setObjectName("lblDescription");
    lblDescription_->setWordWrap(true);
    lblDisclaimer_ = new QLabel(this);
    lblDisclaimer_->setObjectName("lblDisclaimer");
    lblDisclaimer_->setWordWrap(true);
    lblDisclaimer_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdSysInfo_ = new QPushButton(this);
    cmdSysInfo_->setObjectName("cmdSysInfo");
    cmdLicence_ = new QPushButton(this);
    cmdLicence_->setObjectName("cmdLicence");
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(cmdLicence_, &QPushButton::clicked, this,
            [this] { messages_.ShowMessage(Paragraphs(LicenceText()), MessageIcon::Information); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle_);
    texts->addWidget(lblVersion_);
    texts->addWidget(lblDescription_);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon_);
    top->addLayout(texts, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdSysInfo_);
    buttons->addWidget(cmdLicence_);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer_, 1);
    bottom->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    auto* rule = new QVBoxLayout;
    rule->setSpacing(0);
    rule->addWidget(SeparatorLine(this, 0));
    rule->addWidget(SeparatorLine(this, 1));
    outer->addLayout(rule);
    outer->addLayout(bottom);
    setMinimumWidth(420);
}

void frmAbout::Form_Load() {
    setWindowTitle(Res(1036));
    setWindowIcon(AboutIcon(*this));
    lblTitle_->setText(Res(100));
    lblVersion_->setText(VersionLine());
    lblDescription_->setText(Res(1042) + "\n\n" + Res(1041));
    lblDisclaimer_->setText(Res(1039) + "\n" + Res(2007));
    cmdOK_->setText(Res(1038));
    cmdSysInfo_->setText(Res(1037));
    cmdLicence_->setText(QStringLiteral("&Licence..."));
}

// The box stays open whether the tool starts or not.
void frmAbout::StartSysInfo() {
    const std::optional<std::string> tool = FindSysInfoTool(registry_);
    // An empty path (a value of an unexpected type) cannot name a program.
    if (tool && !tool->empty() && launcher_.StartDetached(*tool)) {
        return;
    }
    messages_.ShowMessage(kSysInfoUnavailable, MessageIcon::None);
}

}  // namespace zep
