#pragma once
// The About box (dialog 151): program name, maker and version.

#include <string>

#include "framework/dialog.h"

class CDlgAbout : public fw::Dialog {
    Q_OBJECT
  public:
    static constexpr int kTemplate = 151;

    CDlgAbout();

    const std::string& Version() const { return version_; }

  protected:
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;

  private:
    std::string version_;  // label 1169
};
