#include "app/frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/QtText.h"
#include "app/Registry.h"
#include "support/ProgramInfo.h"

namespace zep {
namespace {

QLabel* Label(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QPushButton* Button(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

// One line per paragraph, for the message box to wrap to its own width.
std::string Paragraphs(std::string_view text) {
    std::string flowed(text);
    for (std::size_t i = 1; i + 1 < flowed.size(); ++i) {
        if (flowed[i] == '\n' && flowed[i - 1] != '\n' && flowed[i + 1] != '\n') {
            flowed[i] = ' ';
        }
    }
    return flowed;
}

}  // namespace

frmAbout::frmAbout(MessageSink& messages, QWidget* parent) : QDialog(parent), messages_(messages) {
    setObjectName("frmAbout");
    const QIcon icon = QApplication::windowIcon().isNull()
                           ? style()->standardIcon(QStyle::SP_ComputerIcon)
                           : QApplication::windowIcon();
    setWindowIcon(icon);
    auto* picIcon = Label("picIcon", {}, this);
    picIcon->setPixmap(icon.pixmap(32, 32));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    QLabel* lblTitle = Label("lblTitle", {}, this);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    QLabel* lblDisclaimer = Label("lblDisclaimer", {}, this);
    lblDisclaimer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton* cmdOK = Button("cmdOK", Res(1038), this);
    cmdOK->setDefault(true);
    QPushButton* cmdSysInfo = Button("cmdSysInfo", Res(1037), this);
    QPushButton* cmdLicence = Button("cmdLicence", QStringLiteral("&Licence..."), this);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(cmdLicence, &QPushButton::clicked, this,
            [this] { messages_.ShowMessage(Paragraphs(LicenceText()), MessageIcon::Information); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(Label("lblVersion", {}, this));
    texts->addWidget(Label("lblDescription", {}, this));
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(texts, 1);
    auto* rule = new QVBoxLayout;
    rule->setSpacing(0);
    for (int index : {0, 1}) {  // Line1: dark over light, together one etched rule
        auto* line = new QFrame(this);
        line->setObjectName(QString("Line1_%1").arg(index));
        line->setFrameShape(QFrame::HLine);
        line->setFixedHeight(1);
        line->setForegroundRole(index == 0 ? QPalette::Dark : QPalette::Light);
        rule->addWidget(line);
    }
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdOK, cmdSysInfo, cmdLicence}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(rule);
    outer->addLayout(bottom);
    setMinimumWidth(420);
    Form_Load();
}

void frmAbout::Form_Load() {
    setWindowTitle(Res(1036));
    findChild<QLabel*>("lblTitle")->setText(Res(100));
    findChild<QLabel*>("lblVersion")
        ->setText(Res(1040) + " : " + QString::fromStdString(VersionNumber()) + " beta");
    findChild<QLabel*>("lblDescription")->setText(Res(1042) + "\n\n" + Res(1041));
    findChild<QLabel*>("lblDisclaimer")->setText(Res(1039) + "\n" + Res(2007));
}

// The path is the program itself, never a command line: no shell sees it.
void frmAbout::StartSysInfo() {
    const std::optional<std::string> tool = FindSysInfoTool(*PlatformRegistry());
    if (!tool || tool->empty() || !QProcess::startDetached(QString::fromStdString(*tool), {})) {
        messages_.ShowMessage("此時的系統資訊無法取得", MessageIcon::None);
    }
}

}  // namespace zep
