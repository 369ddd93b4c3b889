#pragma once
// The framework tests' common fixture: the page-like test dialog created as a shown child of a
// window, as a tab page is.

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "tests/framework/test_dialogs.h"
#include "tests/support/ui_kit.h"

namespace fwtest {

class PageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->resize(900, 600);
        page = std::make_unique<PageDialog>();
        ASSERT_TRUE(page->Create(window.get()));
        window->show();
        page->show();
        uikit::ProcessEvents();
    }
    void TearDown() override {
        page.reset();
        window.reset();
    }

    std::unique_ptr<QWidget> window;
    std::unique_ptr<PageDialog> page;
};

}  // namespace fwtest
