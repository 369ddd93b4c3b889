#pragma once
// Dialog classes for the framework tests: they record what their handlers saw.

#include <string>
#include <vector>

#include "framework/framework.h"
#include "resources/templates/template_900.h"

namespace fwtest {

// Page-like child dialog on template 900: every notification it maps is logged as
// "<id>:<what>"; Enter and Esc do nothing, as on a tab page.
class PageDialog : public fw::Dialog {
  public:
    PageDialog() : fw::Dialog(res::t900::kTemplate) {}

    std::vector<std::string> log;
    std::vector<fw::KeyMessage> keys;
    unsigned consumeKey = 0;  // virtual key that PreTranslateKey consumes (presses and releases)
    bool initRan = false;
    int upDownResult = 0;

    // Fields exchanged with controls.
    std::string text;
    std::uint32_t number = 0;
    std::int32_t signedNumber = 0;
    bool checked = false;
    int plainIndex = -1;

    static const fw::MessageTableBase& GetClassMessageTable();

  protected:
    const fw::MessageTableBase& GetMessageTable() const override { return GetClassMessageTable(); }
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    bool PreTranslateKey(const fw::KeyMessage& message) override;
    void OnDefaultAction() override { log.push_back("enter"); }
    void OnCancelAction() override { log.push_back("esc"); }

  private:
    void Log(const std::string& entry) { log.push_back(entry); }
    void AddClicked() { Log("add"); }
    void ApplyClicked() { Log("apply"); }
    void CheckClicked() { Log("check"); }
    void SortedSelChange() { Log("sorted:sel"); }
    void PlainSelChange() { Log("plain:sel"); }
    void PlainDoubleClick() { Log("plain:dbl"); }
    void CheckListSelChange() { Log("checklist:sel"); }
    void CheckListToggled(fw::Notification& n);
    void ComboSelChange() { Log("combo:sel"); }
    void ComboAccepted(fw::Notification& n);
    void NumberChanged() { Log("number:text"); }
    void TextChanged() { Log("text:text"); }
    void TreeSel(fw::Notification& n);
    void TreeChecked(fw::Notification& n);
    void ReportChanged(fw::Notification& n);
    int UpDownRequest(int delta);
};

// Main-window-like popup on template 902 (tab control 1000, menu 902). Enter and Esc do nothing;
// the close box ends the run with 1.
class MainLikeDialog : public fw::Dialog {
  public:
    MainLikeDialog() : fw::Dialog(res::t902::kTemplate) {}

    std::vector<std::string> log;

    static const fw::MessageTableBase& GetClassMessageTable();

  protected:
    const fw::MessageTableBase& GetMessageTable() const override { return GetClassMessageTable(); }
    bool OnInitDialog() override;
    void OnDefaultAction() override { log.push_back("enter"); }
    void OnCancelAction() override { log.push_back("esc"); }
    void OnClose() override {
        log.push_back("close");
        EndDialog(1);
    }

  private:
    void TabChanged(fw::Notification& n);
    void TabCommand(int id);
    void Exit() {
        log.push_back("exit");
        RequestClose();
    }
};

// Modal picker on template 901: the framework's default OK / Cancel behaviour.
class PickerDialog : public fw::Dialog {
  public:
    PickerDialog() : fw::Dialog(res::t901::kTemplate) {}

    std::string name;
    int listIndex = -1;
    std::vector<std::string> entries{"delta", "Alpha", "charlie", "Bravo"};

  protected:
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
};

}  // namespace fwtest
