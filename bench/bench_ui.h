#pragma once
// The user interface of a benchmark's program run: every message box is answered with OK (and
// counted), and the main window, instead of running modally, is shown once and handed to
// `shown`.

#include <QCoreApplication>
#include <cstdio>
#include <functional>

#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/ui_service.h"

namespace bench {

class BenchUi : public fw::UiService {
  public:
    std::function<void(fw::Dialog&)> shown;
    int messages = 0;

    fw::MsgAnswer ShowMessage(const fw::MessageBoxRequest& request) override {
        ++messages;
        std::fprintf(stderr, "message box: %s\n", request.text.c_str());
        return fw::MsgAnswer::Ok;
    }
    int RunModal(fw::Dialog& dialog) override {
        dialog.show();
        QCoreApplication::processEvents();
        if (shown)
            shown(dialog);
        return fw::kIdOk;
    }
};

}  // namespace bench
