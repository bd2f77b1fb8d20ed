#include "app/frmOptions.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "QtTestApp.h"
#include "TestWorkspace.h"
#include "support/StringTable.h"

namespace zep {
namespace {

using test::RecordingMessages;
using test::TempDir;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class frmOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureQtApp();
        store.IniName = dir / "ZEPConverter.ini";
    }

    frmOptions& dialog() {
        if (!dialog_) {
            dialog_ = std::make_unique<frmOptions>(options, store, messages);
            dialog_->show();
        }
        return *dialog_;
    }
    template <typename Control>
    Control* Find(const char* name) {
        auto* control = dialog().findChild<Control*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Type(const char* box, const QString& text) { Find<QLineEdit>(box)->setText(text); }
    QString Text(const char* box) { return Find<QLineEdit>(box)->text(); }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    std::string Stored(const std::string& key) {
        AppINI reader;
        reader.IniName = store.IniName;
        reader.SectionName = "Setup";
        std::string value;
        return reader.ReadKey(key, value) ? value : "<missing>";
    }
    bool Open() { return dialog().isVisible(); }
    bool FileExists() { return std::filesystem::exists(store.IniName); }
    int PixelsOf(int twips) { return twips * dialog().logicalDpiX() / 1440; }

    TempDir dir;
    Options options;
    AppINI store;
    RecordingMessages messages;

private:
    std::unique_ptr<frmOptions> dialog_;
};

// Options that differ from the defaults in every field.
Options Edited() {
    Options edited;
    edited.STR_OPT_TOLERANCE = "0.01";
    edited.LNG_OPT_COUNT_PER_TOLERANCELINE = 7;
    edited.BLN_OPT_SORTASCII = false;
    edited.BLN_OPT_ADJTOMAXCOUNT = true;
    edited.BLN_OPT_SORT_SPACE_TO_LAST = false;
    return edited;
}

void ExpectSameOptions(const Options& actual, const Options& expected) {
    EXPECT_EQ(actual.STR_OPT_TOLERANCE, expected.STR_OPT_TOLERANCE);
    EXPECT_EQ(actual.LNG_OPT_COUNT_PER_TOLERANCELINE, expected.LNG_OPT_COUNT_PER_TOLERANCELINE);
    EXPECT_EQ(actual.BLN_OPT_SORTASCII, expected.BLN_OPT_SORTASCII);
    EXPECT_EQ(actual.BLN_OPT_ADJTOMAXCOUNT, expected.BLN_OPT_ADJTOMAXCOUNT);
    EXPECT_EQ(actual.BLN_OPT_SORT_SPACE_TO_LAST, expected.BLN_OPT_SORT_SPACE_TO_LAST);
}

TEST_F(frmOptionsTest, LoadingShowsTheTextsAndTheInMemoryOptions) {
    options = Edited();
    EXPECT_EQ(dialog().windowTitle(), "Option");
    EXPECT_EQ(Find<QTabBar>("tbsOptions")->count(), 1);
    EXPECT_EQ(Find<QTabBar>("tbsOptions")->tabText(0), "Custom");
    EXPECT_EQ(Find<QTabBar>("tbsOptions")->tabToolTip(0), "");
    EXPECT_EQ(Find<QGroupBox>("fraSample1")->title(), "Custom");
    EXPECT_EQ(Find<QGroupBox>("fraSample2")->title(), "範例二");
    EXPECT_EQ(Find<QGroupBox>("fraSample4")->title(), "範例四");
    EXPECT_EQ(Find<QLabel>("LabDefTolerance")->text(), "Default standard deviation :");
    EXPECT_EQ(Find<QLabel>("LabTolPerLine")->text(), "Amount per deviation line :");
    EXPECT_EQ(Find<QCheckBox>("chkSortAscii")->text(), "Auto Sort By ASCII Before Compare.");
    EXPECT_EQ(Find<QCheckBox>("chkAdjToMax")->text(),
              "Adjust String Number To MAX Number In List.");
    EXPECT_EQ(Find<QCheckBox>("chkSortSpaceToLast")->text(),
              "When sort ASCII put SPACE string to last.");
    EXPECT_EQ(Find<QPushButton>("cmdOK")->text(), "&OK");
    EXPECT_EQ(Find<QPushButton>("cmdCancel")->text(), "&Cancel");

    EXPECT_EQ(Text("txtDefTolerance"), "0.01");
    EXPECT_EQ(Text("txtTolPerLin"), "7");
    EXPECT_EQ(Find<QCheckBox>("chkSortAscii")->checkState(), Qt::Unchecked);
    EXPECT_EQ(Find<QCheckBox>("chkAdjToMax")->checkState(), Qt::Checked);
    EXPECT_EQ(Find<QCheckBox>("chkSortSpaceToLast")->checkState(), Qt::Unchecked);
}

TEST_F(frmOptionsTest, ToleranceIsShownWithItsLeadingZerosAndNegativeAmountsWithTheirSign) {
    options.LNG_OPT_COUNT_PER_TOLERANCELINE = -3;
    EXPECT_EQ(Text("txtDefTolerance"), "000.005");
    EXPECT_EQ(Text("txtTolPerLin"), "-3");
}

struct AmountCase {
    const char* name;
    const char* typed;
    std::int32_t message;  // 0: accepted
    std::int32_t stored;
};

void PrintTo(const AmountCase& amount, std::ostream* out) {
    *out << amount.name;
}

class AmountTest : public frmOptionsTest, public ::testing::WithParamInterface<AmountCase> {};

TEST_P(AmountTest, IsAcceptedAndStoredOrRefusedWithNothingChanged) {
    const AmountCase& amount = GetParam();
    Type("txtTolPerLin", amount.typed);
    Click("cmdOK");
    if (amount.message == 0) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_FALSE(Open());
        EXPECT_EQ(options.LNG_OPT_COUNT_PER_TOLERANCELINE, amount.stored);
        EXPECT_EQ(Stored("LNG_OPT_COUNT_PER_TOLERANCELINE"), std::to_string(amount.stored));
        return;
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, ResString(amount.message));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(Open());
    EXPECT_EQ(Text("txtTolPerLin"), amount.typed) << "the entry stays as typed";
    ExpectSameOptions(options, Options{});
    EXPECT_FALSE(FileExists());
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, AmountTest,
    ::testing::Values(
        AmountCase{"One", "1", 0, 1}, AmountCase{"Zero", "0", 2009, 0},
        AmountCase{"MinusFive", "-5", 2009, 0}, AmountCase{"Lowest", "-32768", 2009, 0},
        AmountCase{"Letters", "abc", 2008, 0}, AmountCase{"Empty", "", 2008, 0},
        AmountCase{"OnlyBlanks", "   ", 2008, 0}, AmountCase{"Over16Bits", "40000", 2008, 0},
        AmountCase{"JustOver16Bits", "32768", 2008, 0},
        AmountCase{"JustUnder16Bits", "-32769", 2008, 0}, AmountCase{"Largest", "32767", 0, 32767},
        AmountCase{"WholeWithPoint", "7.0", 2008, 0}, AmountCase{"Fraction", "3.5", 2008, 0},
        AmountCase{"TrailingPoint", "12.", 2008, 0}, AmountCase{"Exponent", "1e2", 2008, 0},
        AmountCase{"Hexadecimal", "0x10", 2008, 0},
        AmountCase{"DigitsThenLetters", "12abc", 2008, 0},
        AmountCase{"BlankInside", "1 2", 2008, 0},
        AmountCase{"ThousandsSeparator", "1,000", 2008, 0},
        AmountCase{"BlanksAround", " 12 ", 0, 12}, AmountCase{"TabsAround", "\t12\t", 0, 12},
        AmountCase{"PlusSign", "+7", 0, 7}, AmountCase{"LeadingZeros", "007", 0, 7}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(frmOptionsTest, AcceptedAmountReplacesTheEntryByThePlainNumber) {
    Type("txtTolPerLin", "  012 ");
    Type("txtDefTolerance", "a b");  // keeps the dialog open so the entry can be seen
    Click("cmdOK");
    EXPECT_TRUE(Open());
    EXPECT_EQ(Text("txtTolPerLin"), "12");
}

struct ToleranceCase {
    const char* name;
    const char* typed;
    const char* stored;  // nullptr: refused with message 2010
};

void PrintTo(const ToleranceCase& tolerance, std::ostream* out) {
    *out << tolerance.name;
}

class ToleranceTest : public frmOptionsTest, public ::testing::WithParamInterface<ToleranceCase> {};

TEST_P(ToleranceTest, IsOneWordOrRefusedWithNothingChanged) {
    const ToleranceCase& tolerance = GetParam();
    Type("txtDefTolerance", tolerance.typed);
    Click("cmdOK");
    if (tolerance.stored != nullptr) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_FALSE(Open());
        EXPECT_EQ(options.STR_OPT_TOLERANCE, tolerance.stored);
        EXPECT_EQ(Stored("STR_OPT_TOLERANCE"), tolerance.stored);
        return;
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Default standard deviation, Value must be one word without spaces!");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(Open());
    ExpectSameOptions(options, Options{});
    EXPECT_FALSE(FileExists());
}

INSTANTIATE_TEST_SUITE_P(Tolerances, ToleranceTest,
                         ::testing::Values(ToleranceCase{"Default", "000.005", "000.005"},
                                           ToleranceCase{"Plain", "0.01", "0.01"},
                                           ToleranceCase{"NotANumber", "abc", "abc"},
                                           ToleranceCase{"BlanksAround", "  0.02 ", "0.02"},
                                           ToleranceCase{"Empty", "", nullptr},
                                           ToleranceCase{"OnlyBlanks", "   ", nullptr},
                                           ToleranceCase{"BlankInside", "0 .005", nullptr},
                                           ToleranceCase{"TwoWords", "0.01 0.02", nullptr},
                                           ToleranceCase{"TabInside", "0.01\t0.02", nullptr}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(frmOptionsTest, UntouchedToleranceKeepsItsBytesEvenWhenTheyAreNoUtf8) {
    const std::string latin1 = "0.01\xB5";
    options.STR_OPT_TOLERANCE = latin1;
    Type("txtTolPerLin", "9");
    Click("cmdOK");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(options.STR_OPT_TOLERANCE, latin1);
    EXPECT_EQ(Stored("STR_OPT_TOLERANCE"), latin1);
}

TEST_F(frmOptionsTest, BadAmountIsReportedBeforeABadTolerance) {
    Type("txtTolPerLin", "0");
    Type("txtDefTolerance", "");
    Click("cmdOK");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, ResString(2009));
}

TEST_F(frmOptionsTest, ConfirmingWithoutChangesWritesAllFiveKeysIntoANewFile) {
    ASSERT_FALSE(FileExists());
    Click("cmdOK");
    EXPECT_FALSE(Open());
    EXPECT_EQ(dialog().result(), QDialog::Accepted);
    EXPECT_EQ(Stored("STR_OPT_TOLERANCE"), "000.005");
    EXPECT_EQ(Stored("LNG_OPT_COUNT_PER_TOLERANCELINE"), "11");
    EXPECT_EQ(Stored("BLN_OPT_SORTASCII"), "True");
    EXPECT_EQ(Stored("BLN_OPT_ADJTOMAXCOUNT"), "True");
    EXPECT_EQ(Stored("BLN_OPT_SORT_SPACE_TO_LAST"), "True");
    EXPECT_EQ(ReadBytes(store.IniName),
              "[Setup]\r\n"
              "STR_OPT_TOLERANCE=000.005\r\n"
              "LNG_OPT_COUNT_PER_TOLERANCELINE=11\r\n"
              "BLN_OPT_SORTASCII=True\r\n"
              "BLN_OPT_ADJTOMAXCOUNT=True\r\n"
              "BLN_OPT_SORT_SPACE_TO_LAST=True\r\n");
    EXPECT_EQ(store.SectionName, "Setup");
    ExpectSameOptions(options, Options{});
}

TEST_F(frmOptionsTest, EditedOptionsTakeEffectInMemoryAndInTheFile) {
    Type("txtDefTolerance", "0.01");
    Type("txtTolPerLin", "7");
    Find<QCheckBox>("chkSortAscii")->setCheckState(Qt::Unchecked);
    Find<QCheckBox>("chkSortSpaceToLast")->setCheckState(Qt::Unchecked);
    Click("cmdOK");
    ExpectSameOptions(options, Edited());
    EXPECT_EQ(Stored("STR_OPT_TOLERANCE"), "0.01");
    EXPECT_EQ(Stored("LNG_OPT_COUNT_PER_TOLERANCELINE"), "7");
    EXPECT_EQ(Stored("BLN_OPT_SORTASCII"), "False");
    EXPECT_EQ(Stored("BLN_OPT_ADJTOMAXCOUNT"), "True");
    EXPECT_EQ(Stored("BLN_OPT_SORT_SPACE_TO_LAST"), "False");
}

TEST_F(frmOptionsTest, GrayedBoxesAreStoredAsOff) {
    for (const char* box : {"chkSortAscii", "chkAdjToMax", "chkSortSpaceToLast"}) {
        Find<QCheckBox>(box)->setTristate(true);
        Find<QCheckBox>(box)->setCheckState(Qt::PartiallyChecked);
    }
    Click("cmdOK");
    EXPECT_FALSE(options.BLN_OPT_SORTASCII);
    EXPECT_FALSE(options.BLN_OPT_ADJTOMAXCOUNT);
    EXPECT_FALSE(options.BLN_OPT_SORT_SPACE_TO_LAST);
    EXPECT_EQ(Stored("BLN_OPT_SORTASCII"), "False");
    EXPECT_EQ(Stored("BLN_OPT_ADJTOMAXCOUNT"), "False");
    EXPECT_EQ(Stored("BLN_OPT_SORT_SPACE_TO_LAST"), "False");
}

TEST_F(frmOptionsTest, CancelAfterEditingChangesNeitherOptionsNorFile) {
    const std::string before = "[Setup]\r\nSTR_OPT_TOLERANCE=0.3\r\n";
    std::ofstream(store.IniName, std::ios::binary) << before;
    Type("txtDefTolerance", "0.01");
    Type("txtTolPerLin", "7");
    Find<QCheckBox>("chkAdjToMax")->setCheckState(Qt::Unchecked);
    Click("cmdCancel");
    EXPECT_FALSE(Open());
    EXPECT_EQ(dialog().result(), QDialog::Rejected);
    ExpectSameOptions(options, Options{});
    EXPECT_EQ(ReadBytes(store.IniName), before);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(frmOptionsTest, EscapeAndClosingByTheFrameAreCancel) {
    Type("txtTolPerLin", "7");
    QTest::keyClick(Find<QLineEdit>("txtTolPerLin"), Qt::Key_Escape);
    EXPECT_FALSE(Open());
    dialog().show();
    dialog().close();
    ExpectSameOptions(options, Options{});
    EXPECT_FALSE(FileExists());
}

TEST_F(frmOptionsTest, OnlyTheFirstPageIsInViewAndUsable) {
    auto* page0 = Find<QWidget>("picOptions_0");
    EXPECT_EQ(page0->x(), PixelsOf(210));
    EXPECT_TRUE(page0->isEnabled());
    EXPECT_TRUE(page0->isVisibleTo(&dialog()));
    for (const char* name : {"picOptions_1", "picOptions_2", "picOptions_3"}) {
        auto* page = Find<QWidget>(name);
        EXPECT_EQ(page->x(), PixelsOf(-20000)) << name;
        EXPECT_FALSE(page->isEnabled()) << name;
    }
}

// The strip has one tab; two more are added here to see the keys move between tabs and pages.
class TabKeysTest : public frmOptionsTest {
protected:
    void SetUp() override {
        frmOptionsTest::SetUp();
        tabs = Find<QTabBar>("tbsOptions");
        tabs->addTab("two");
        tabs->addTab("three");
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(Find<QLineEdit>("txtTolPerLin"), key, modifiers);
    }
    void ExpectPageShown(int index) {
        EXPECT_EQ(tabs->currentIndex(), index);
        for (int i = 0; i < 3; ++i) {
            auto* page = Find<QWidget>(QString("picOptions_%1").arg(i).toUtf8().constData());
            EXPECT_EQ(page->x(), PixelsOf(i == index ? 210 : -20000)) << i;
            EXPECT_EQ(page->isEnabled(), i == index) << i;
        }
        auto* unused = Find<QWidget>("picOptions_3");
        EXPECT_FALSE(unused->isEnabled());
    }

    QTabBar* tabs = nullptr;
};

TEST_F(TabKeysTest, CtrlTabMovesForwardAndWrapsToTheFirst) {
    Press(Qt::Key_Tab, Qt::ControlModifier);
    ExpectPageShown(1);
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
    ExpectPageShown(2);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    ExpectPageShown(0);
    EXPECT_EQ(Text("txtTolPerLin"), "11");
}

TEST_F(TabKeysTest, CtrlShiftTabMovesBackAndWrapsToTheLast) {
    Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectPageShown(2);
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectPageShown(1);
    Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    ExpectPageShown(0);
}

TEST_F(TabKeysTest, TabWithoutCtrlIsLeftToTheControls) {
    Find<QLineEdit>("txtTolPerLin")->setFocus();
    Press(Qt::Key_Tab, Qt::NoModifier);
    ExpectPageShown(0);
}

TEST_F(TabKeysTest, ClickingATabShowsItsPage) {
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    ExpectPageShown(2);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    ExpectPageShown(0);
}

TEST_F(frmOptionsTest, WithTheOneTabCtrlTabKeepsTheFirstPage) {
    QTest::keyClick(Find<QLineEdit>("txtDefTolerance"), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(&dialog(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Find<QTabBar>("tbsOptions")->currentIndex(), 0);
    EXPECT_EQ(Find<QWidget>("picOptions_0")->x(), PixelsOf(210));
    EXPECT_TRUE(Find<QWidget>("picOptions_0")->isEnabled());
}

}  // namespace
}  // namespace zep
