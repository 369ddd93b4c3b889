// Keyboard pre-translation: presses and releases meant for a dialog's controls reach the dialog
// first, with the control id and the virtual key code, and can be consumed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <memory>

#include "tests/framework/page_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t900;
using fwtest::PageDialog;

class KeysTest : public fwtest::PageFixture {
  protected:
    void SetUp() override {
        PageFixture::SetUp();
        auto& plain = page->Item<fw::ListBox>(kPlainList);
        for (const char* text : {"a", "b", "c"}) {
            plain.AddString(text);
        }
        plain.SetCurSel(0);
        uikit::ProcessEvents();
    }
};

TEST_F(KeysTest, PressAndReleaseArriveWithControlIdAndVirtualKey) {
    struct Case {
        int id;
        unsigned key;
    };
    const Case cases[] = {{kPlainList, fw::kVkReturn}, {kPlainList, fw::kVkDelete},
                          {kTextEdit, fw::kVkReturn},  {kSortedList, fw::kVkLeft},
                          {kTree, fw::kVkRight},       {kCheckList, fw::kVkUp},
                          {kNumberEdit, 0x41},         {kReport, fw::kVkDown}};
    for (const Case& c : cases) {
        page->keys.clear();
        uikit::TapKey(*page, c.id, c.key);
        ASSERT_EQ(page->keys.size(), 2u) << c.id << " " << c.key;
        EXPECT_EQ(page->keys[0].action, fw::KeyAction::Press);
        EXPECT_EQ(page->keys[1].action, fw::KeyAction::Release);
        for (const fw::KeyMessage& message : page->keys) {
            EXPECT_EQ(message.controlId, c.id);
            EXPECT_EQ(message.virtualKey, c.key);
            EXPECT_FALSE(message.autoRepeat);
        }
    }
}

TEST_F(KeysTest, ConsumedKeysDoNotReachTheControl) {
    auto& plain = page->Item<fw::ListBox>(kPlainList);
    page->consumeKey = fw::kVkDown;
    uikit::TapKey(*page, kPlainList, fw::kVkDown);
    EXPECT_EQ(plain.GetCurSel(), 0);
    EXPECT_EQ(page->keys.size(), 2u);
    EXPECT_TRUE(page->log.empty());
    // Not consumed: the list moves its selection and reports it.
    page->consumeKey = 0;
    uikit::TapKey(*page, kPlainList, fw::kVkDown);
    EXPECT_EQ(plain.GetCurSel(), 1);
    EXPECT_EQ(page->log, (std::vector<std::string>{"plain:sel"}));
    // A consumed Enter never reaches the default action.
    page->log.clear();
    page->consumeKey = fw::kVkReturn;
    uikit::TapKey(*page, kTextEdit, fw::kVkReturn);
    EXPECT_TRUE(page->log.empty());
    // A consumed character is not typed.
    page->consumeKey = 0x42;  // B
    page->SetItemText(kTextEdit, "");
    auto& edit = page->Item<fw::Edit>(kTextEdit);
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_A);
    QTest::keyClick(&edit, Qt::Key_B);
    EXPECT_EQ(edit.GetText(), "a");
}

TEST_F(KeysTest, HeldKeysRepeatPressesOnly) {
    QWidget* list = page->FindControl(kPlainList)->Widget();
    list->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(), false);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(), true);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier, QString(), true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier, QString(), false);
    QCoreApplication::sendEvent(list, &press);
    QCoreApplication::sendEvent(list, &repeatRelease);
    QCoreApplication::sendEvent(list, &repeat);
    QCoreApplication::sendEvent(list, &release);
    ASSERT_EQ(page->keys.size(), 3u);
    EXPECT_EQ(page->keys[0].action, fw::KeyAction::Press);
    EXPECT_FALSE(page->keys[0].autoRepeat);
    EXPECT_EQ(page->keys[1].action, fw::KeyAction::Press);
    EXPECT_TRUE(page->keys[1].autoRepeat);
    EXPECT_EQ(page->keys[2].action, fw::KeyAction::Release);
}

TEST_F(KeysTest, FocusedControlIsKnownById) {
    window->activateWindow();
    page->FocusItem(kTextEdit);
    uikit::ProcessEvents();
    if (QApplication::focusWidget() == nullptr) {
        GTEST_SKIP() << "the platform gives no window the focus";
    }
    EXPECT_EQ(page->FocusedControlId(), kTextEdit);
    page->FocusItem(kPlainList);
    EXPECT_EQ(page->FocusedControlId(), kPlainList);
}

TEST_F(KeysTest, KeysOnTheDialogItselfHaveNoControlId) {
    uikit::TapDialogKey(*page, fw::kVkDelete);
    ASSERT_EQ(page->keys.size(), 2u);
    EXPECT_EQ(page->keys[0].controlId, fw::kNoId);
    EXPECT_EQ(page->keys[1].controlId, fw::kNoId);
}

TEST_F(KeysTest, EachKeyIsPreTranslatedOnce) {
    // Keys the control leaves unhandled travel on to the dialog; they must not be seen twice.
    uikit::TapKey(*page, kPlainList, fw::kVkF1);
    EXPECT_EQ(page->keys.size(), 2u);
    uikit::TapKey(*page, kTextEdit, fw::kVkReturn);
    EXPECT_EQ(page->keys.size(), 4u);
}

TEST(KeysNested, APageInsideAnotherDialogSeesItsOwnControlsKeys) {
    fwtest::MainLikeDialog main;
    ASSERT_TRUE(main.Create(nullptr));
    auto& tabs = main.Item<fw::TabControl>(res::t902::kTabs);
    PageDialog page;
    ASSERT_TRUE(page.Create(&tabs));
    main.show();
    page.show();
    uikit::ProcessEvents();
    uikit::TapKey(page, kTextEdit, fw::kVkReturn);
    uikit::TapKey(page, kTextEdit, fw::kVkEscape);
    ASSERT_EQ(page.keys.size(), 4u);
    EXPECT_EQ(page.keys[0].controlId, kTextEdit);
    // Enter and Esc in a page stay with the page: the outer window does nothing.
    EXPECT_EQ(page.log, (std::vector<std::string>{"enter", "esc"}));
    EXPECT_TRUE(main.log.empty());
    EXPECT_TRUE(main.isVisible());
}

TEST(VirtualKeys, QtKeysMapToPlatformCodes) {
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Return), 0x0Du);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Enter), 0x0Du);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Delete), 0x2Eu);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Left), 0x25u);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Up), 0x26u);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Right), 0x27u);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Down), 0x28u);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Escape), 0x1Bu);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Q), 0x51u);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_7), 0x37u);
    EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_F5), 0x74u);
    for (unsigned vk :
         {0x08u, 0x0Du, 0x1Bu, 0x20u, 0x25u, 0x28u, 0x2Eu, 0x41u, 0x5Au, 0x30u, 0x70u}) {
        EXPECT_EQ(fw::VirtualKeyFromQt(fw::QtKeyFromVirtualKey(vk)), vk);
    }
}

}  // namespace
