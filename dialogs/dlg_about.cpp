#include "dialogs/dlg_about.h"

#include "framework/data_exchange.h"
#include "resources/strings.h"
#include "resources/templates/template_151.h"

CDlgAbout::CDlgAbout() : fw::Dialog(kTemplate) {}

bool CDlgAbout::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    version_ = res::strings::kVersion;
    UpdateData(false);
    return true;
}

void CDlgAbout::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(res::t151::kVersion, version_);
}
