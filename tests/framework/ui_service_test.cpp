// Message boxes and modal runs through the UI service: recorded, answered and driven by tests.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "tests/framework/test_dialogs.h"
#include "tests/support/ui_kit.h"

namespace {

using fwtest::PickerDialog;
using namespace res::t901;

TEST(MessageBoxes, RecordedWithTitleIconButtonsAndAnsweredFromTheQueue) {
    uikit::UiRecorder recorder;
    recorder.Answer(fw::MsgAnswer::Cancel);
    recorder.Answer(fw::MsgAnswer::Ok);
    recorder.Answer(fw::MsgAnswer::Yes);
    EXPECT_EQ(fw::ShowMessageBox("Continue?", fw::MsgIcon::Exclamation, fw::MsgButtons::OkCancel),
              fw::MsgAnswer::Cancel);
    EXPECT_EQ(fw::ShowMessageBox("Error deleting registry", fw::MsgIcon::Error), fw::MsgAnswer::Ok);
    EXPECT_EQ(fw::ShowMessageBox("Sure?", fw::MsgIcon::Question, fw::MsgButtons::YesNo),
              fw::MsgAnswer::Yes);
    ASSERT_EQ(recorder.Messages().size(), 3u);
    EXPECT_EQ(recorder.Messages()[0].text, "Continue?");
    EXPECT_EQ(recorder.Messages()[0].icon, fw::MsgIcon::Exclamation);
    EXPECT_EQ(recorder.Messages()[0].buttons, fw::MsgButtons::OkCancel);
    EXPECT_EQ(recorder.Messages()[1].icon, fw::MsgIcon::Error);
    EXPECT_EQ(recorder.Messages()[1].buttons, fw::MsgButtons::Ok);
    EXPECT_EQ(recorder.Messages()[2].buttons, fw::MsgButtons::YesNo);
    for (const uikit::ShownMessage& message : recorder.Messages()) {
        EXPECT_EQ(message.title, "VLX Configurator");
    }
}

TEST(MessageBoxes, TitleIsTheProgramName) {
    uikit::UiRecorder recorder;
    recorder.SetDefaultAnswer(fw::MsgAnswer::Ok);
    const std::string previous = fw::ProgramName();
    fw::SetProgramName("Other name");
    fw::ShowMessageBox("x");
    fw::SetProgramName(previous);
    EXPECT_EQ(recorder.Messages().at(0).title, "Other name");
}

TEST(MessageBoxes, UnexpectedBoxFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            uikit::UiRecorder recorder;
            EXPECT_EQ(
                fw::ShowMessageBox("surprise", fw::MsgIcon::Exclamation, fw::MsgButtons::OkCancel),
                fw::MsgAnswer::Cancel);
        },
        "unexpected message box: \"surprise\"");
}

TEST(MessageBoxes, TheWindowABoxWasShownOverGetsTheKeyboardBack) {
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // The real box, answered with Esc once it is up.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    EXPECT_EQ(fw::ShowMessageBox("Continue?", fw::MsgIcon::Exclamation, fw::MsgButtons::OkCancel),
              fw::MsgAnswer::Cancel);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(MessageBoxes, RecorderRestoresThePreviousService) {
    fw::UiService* before = &fw::GetUiService();
    {
        uikit::UiRecorder outer;
        {
            uikit::UiRecorder inner;
            EXPECT_EQ(&fw::GetUiService(), &inner);
        }
        EXPECT_EQ(&fw::GetUiService(), &outer);
    }
    EXPECT_EQ(&fw::GetUiService(), before);
}

TEST(ModalRuns, ATestDrivesThePickerBeforeItReturns) {
    uikit::UiRecorder recorder;
    PickerDialog picker;
    picker.name = "start";
    recorder.OnModal([](fw::Dialog& dialog) {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.GetItemText(kName), "start");
        EXPECT_EQ(uikit::Rows(dialog, kList),
                  (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta"}));
        uikit::TypeText(dialog, kName, "typed name");
        uikit::SelectRow(dialog, kList, 2);
        uikit::Click(dialog, fw::kIdOk);
    });
    EXPECT_EQ(picker.DoModal(), fw::kIdOk);
    EXPECT_EQ(picker.name, "typed name");
    EXPECT_EQ(picker.listIndex, 2);
    EXPECT_EQ(recorder.ModalRuns(), (std::vector<int>{kTemplate}));
    EXPECT_FALSE(picker.isVisible());
}

TEST(ModalRuns, CancelEscAndEnterAsOnThePlatform) {
    uikit::UiRecorder recorder;
    PickerDialog picker;
    recorder.OnModal([](fw::Dialog& dialog) {
        uikit::TypeText(dialog, kName, "dropped");
        uikit::Click(dialog, fw::kIdCancel);
    });
    EXPECT_EQ(picker.DoModal(), fw::kIdCancel);
    EXPECT_EQ(picker.name, "");
    // Esc cancels.
    recorder.OnModal([](fw::Dialog& dialog) { uikit::TapKey(dialog, kName, fw::kVkEscape); });
    EXPECT_EQ(picker.DoModal(), fw::kIdCancel);
    // Enter in the edit presses the default button OK, which reads the controls back.
    recorder.OnModal([](fw::Dialog& dialog) {
        uikit::TypeText(dialog, kName, "by enter");
        uikit::TapKey(dialog, kName, fw::kVkReturn);
    });
    EXPECT_EQ(picker.DoModal(), fw::kIdOk);
    EXPECT_EQ(picker.name, "by enter");
    // The close box cancels.
    recorder.OnModal([](fw::Dialog& dialog) { dialog.close(); });
    EXPECT_EQ(picker.DoModal(), fw::kIdCancel);
    EXPECT_EQ(recorder.ModalRuns().size(), 4u);
}

TEST(ModalRuns, MessageBoxesInsideAModalDialogAreRecordedToo) {
    uikit::UiRecorder recorder;
    PickerDialog picker;
    recorder.OnModal([&recorder](fw::Dialog& dialog) {
        recorder.Answer(fw::MsgAnswer::Ok);
        fw::ShowMessageBox("inside", fw::MsgIcon::Information);
        uikit::Click(dialog, fw::kIdOk);
    });
    EXPECT_EQ(picker.DoModal(), fw::kIdOk);
    EXPECT_EQ(recorder.MessageTexts(), (std::vector<std::string>{"inside"}));
}

TEST(ModalRuns, ADriverThatDoesNotEndTheDialogFailsTheTest) {
    PickerDialog picker;
    EXPECT_NONFATAL_FAILURE(
        {
            uikit::UiRecorder recorder;
            recorder.OnModal([](fw::Dialog&) {});
            EXPECT_EQ(picker.DoModal(), fw::kIdCancel);
        },
        "was not ended by its test driver");
    EXPECT_NONFATAL_FAILURE(
        {
            uikit::UiRecorder recorder;
            EXPECT_EQ(picker.DoModal(), fw::kIdCancel);
        },
        "unexpected modal dialog 901");
}

}  // namespace
