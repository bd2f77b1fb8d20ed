#include "app/ApplyResStrings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>

#include "QtTestApp.h"

namespace zep {
namespace {

// The application object has to exist before the fixture's window is built.
struct WithQtApp {
    WithQtApp() { test::EnsureQtApp(); }
};

class ApplyResStringsTest : public ::testing::Test, private WithQtApp {
protected:
    template <typename Control>
    Control* Make(const char* tag, const QString& designed = QStringLiteral("designed")) {
        auto* control = new Control(&window);
        control->setText(designed);
        if (tag != nullptr) {
            control->setProperty(kTagProperty, QString::fromLatin1(tag));
        }
        return control;
    }

    QDialog window;
};

TEST_F(ApplyResStringsTest, WindowTitleComesFromItsTagWhateverItWasDesignedWith) {
    window.setWindowTitle(QStringLiteral("Form1"));
    window.setProperty(kTagProperty, QStringLiteral("100"));
    ApplyResStrings(&window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZEP Converter"));
}

TEST_F(ApplyResStringsTest, WindowKeepsItsTitleWhenTheTagLeadsNowhere) {
    for (const char* tag : {"", "abc", "99", "100x", "1021"}) {
        window.setWindowTitle(QStringLiteral("Form1"));
        window.setProperty(kTagProperty, QString::fromLatin1(tag));
        ApplyResStrings(&window);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Form1")) << tag;
    }
}

TEST_F(ApplyResStringsTest, WindowTakesTheFaceAndSizeOfTexts101And102) {
    ApplyResStrings(&window);
    EXPECT_EQ(window.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(window.font().pointSize(), 9);
}

TEST_F(ApplyResStringsTest, ControlsWithAFontOfTheirOwnKeepIt) {
    auto* label = Make<QLabel>("400");
    QFont own(QStringLiteral("DejaVu Serif"));
    own.setPointSize(21);
    label->setFont(own);
    ApplyResStrings(&window);
    EXPECT_EQ(label->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(label->font().pointSize(), 21);
}

TEST_F(ApplyResStringsTest, LabelsTakeTheTextOfTheirTagAndKeepTheirOwnOtherwise) {
    auto* numbered = Make<QLabel>("400");
    auto* padded = Make<QLabel>(" 401 ");
    auto* words = Make<QLabel>("abc");
    auto* missing = Make<QLabel>("1033");
    auto* partly = Make<QLabel>("401abc");
    auto* untagged = Make<QLabel>(nullptr);
    ApplyResStrings(&window);
    EXPECT_EQ(numbered->text(), QStringLiteral("Default standard deviation :"));
    EXPECT_EQ(padded->text(), QStringLiteral("Amount per deviation line :"));
    EXPECT_EQ(words->text(), QStringLiteral("designed"));
    EXPECT_EQ(missing->text(), QStringLiteral("designed"));
    EXPECT_EQ(partly->text(), QStringLiteral("designed"));
    EXPECT_EQ(untagged->text(), QStringLiteral("designed"));
}

// Check boxes, buttons and frames go by the number their tag begins with.
TEST_F(ApplyResStringsTest, OtherControlsTakeTheTextOfTheNumberTheirTagBeginsWith) {
    auto* box = Make<QCheckBox>("402");
    auto* empty = Make<QCheckBox>("");
    auto* untagged = Make<QCheckBox>(nullptr);
    auto* leading = Make<QPushButton>("1035 OK button");
    auto* zero = Make<QPushButton>("0");
    auto* negative = Make<QPushButton>("-1035");
    auto* words = Make<QPushButton>("OK");
    auto* missing = Make<QPushButton>("1033");
    auto* frame = new QGroupBox(QStringLiteral("Frame1"), &window);
    frame->setProperty(kTagProperty, QStringLiteral("1029"));
    ApplyResStrings(&window);
    EXPECT_EQ(box->text(), QStringLiteral("Auto Sort By ASCII Before Compare."));
    EXPECT_EQ(empty->text(), QStringLiteral("designed"));
    EXPECT_EQ(untagged->text(), QStringLiteral("designed"));
    EXPECT_EQ(leading->text(), QStringLiteral("&OK"));
    EXPECT_EQ(zero->text(), QStringLiteral("designed"));
    EXPECT_EQ(negative->text(), QStringLiteral("designed"));
    EXPECT_EQ(words->text(), QStringLiteral("designed"));
    EXPECT_EQ(missing->text(), QStringLiteral("designed"));
    EXPECT_EQ(frame->title(), QStringLiteral("Custom"));
}

TEST_F(ApplyResStringsTest, TabsTakeTheirCaptionFromTheTagAndTheirTipFromTheTip) {
    auto* tabs = new QTabBar(&window);
    tabs->addTab(QStringLiteral("Tab1"));
    tabs->setTabData(0, QStringLiteral("1029"));
    tabs->setTabToolTip(0, QStringLiteral("1028"));
    tabs->addTab(QStringLiteral("Tab2"));
    tabs->setTabData(1, QStringLiteral("x"));
    tabs->addTab(QStringLiteral("Tab3"));
    tabs->setTabData(2, QStringLiteral("1030"));
    tabs->setTabToolTip(2, QStringLiteral("no number"));
    ApplyResStrings(&window);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Custom"));
    EXPECT_EQ(tabs->tabToolTip(0), QStringLiteral("Option"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Tab2"));
    EXPECT_EQ(tabs->tabToolTip(1), QString());
    EXPECT_EQ(tabs->tabText(2), QString::fromUtf8("範例二"));
    EXPECT_EQ(tabs->tabToolTip(2), QStringLiteral("no number"));
}

TEST_F(ApplyResStringsTest, ColumnsWithATagTakeItsTextAsHeading) {
    auto* list = new QTreeWidget(&window);
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3")});
    list->headerItem()->setData(0, kColumnTagRole, QStringLiteral("200"));
    list->headerItem()->setData(2, kColumnTagRole, QStringLiteral("x201"));
    ApplyResStrings(&window);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("File Name"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("C2"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("C3"));
}

class ApplyResStringsMenusTest : public ::testing::Test, private WithQtApp {
protected:
    QMainWindow window;
};

TEST_F(ApplyResStringsMenusTest, NumberedMenuCaptionsBecomeTextsAndOthersStay) {
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("1000"));
    QAction* open = file->addAction(QStringLiteral("1002"));
    QAction* separator = file->addSeparator();
    QAction* dash = file->addAction(QStringLiteral("-"));
    QAction* hidden = file->addAction(QStringLiteral("1001"));
    hidden->setVisible(false);
    QAction* unknown = file->addAction(QStringLiteral("1021"));
    auto* popup = new QMenu(QStringLiteral("300"), &window);
    QAction* remove = popup->addAction(QStringLiteral("304"));
    ApplyResStrings(&window);
    EXPECT_EQ(file->title(), QStringLiteral("&File"));
    EXPECT_EQ(open->text(), QStringLiteral("A&dd File..."));
    EXPECT_EQ(separator->text(), QString());
    EXPECT_EQ(dash->text(), QStringLiteral("-"));
    EXPECT_EQ(hidden->text(), QString::fromUtf8("新增(&N)"));
    EXPECT_EQ(unknown->text(), QStringLiteral("1021"));
    EXPECT_EQ(popup->title(), QStringLiteral("File Item Menu"));
    EXPECT_EQ(remove->text(), QStringLiteral("&Remove"));
}

TEST_F(ApplyResStringsMenusTest, ToolbarButtonsTakeTheTextOfTheirTipAndSeparatorsGetNone) {
    QToolBar* toolbar = window.addToolBar(QStringLiteral("tbToolBar"));
    QAction* clear = toolbar->addAction(QString());
    clear->setToolTip(QStringLiteral("1015"));
    QAction* separator = toolbar->addSeparator();
    QAction* compare = toolbar->addAction(QString());
    compare->setToolTip(QStringLiteral("1020"));
    QAction* odd = toolbar->addAction(QString());
    odd->setToolTip(QStringLiteral("tip"));
    ApplyResStrings(&window);
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Clear List"));
    EXPECT_EQ(separator->toolTip(), QString());
    EXPECT_EQ(compare->toolTip(), QStringLiteral("Compare"));
    EXPECT_EQ(odd->toolTip(), QStringLiteral("tip"));
    // The tip is not a caption: a button's text stays as designed.
    EXPECT_EQ(clear->text(), QString());
}

}  // namespace
}  // namespace zep
