#include "framework/data_exchange.h"

#include <cctype>
#include <limits>

#include "framework/button.h"
#include "framework/dialog.h"
#include "framework/list_view.h"
#include "framework/string_list.h"
#include "framework/ui_service.h"

namespace fw {
namespace {

// Strips blanks (space, tab) at both ends.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool ParseDigits(std::string_view digits, unsigned long long limit, unsigned long long& value) {
    if (digits.empty()) {
        return false;
    }
    unsigned long long result = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        result = result * 10 + static_cast<unsigned>(c - '0');
        if (result > limit) {
            return false;
        }
    }
    value = result;
    return true;
}

}  // namespace

bool DataExchange::ParseUnsigned(const std::string& text, std::uint32_t& value) {
    std::string_view digits = Trim(text);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    unsigned long long parsed = 0;
    if (!ParseDigits(digits, std::numeric_limits<std::uint32_t>::max(), parsed)) {
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool DataExchange::ParseInt(const std::string& text, std::int32_t& value) {
    std::string_view digits = Trim(text);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    const unsigned long long limit =
        negative ? 2147483648ull
                 : static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max());
    unsigned long long parsed = 0;
    if (!ParseDigits(digits, limit, parsed)) {
        return false;
    }
    value = negative ? static_cast<std::int32_t>(-static_cast<long long>(parsed))
                     : static_cast<std::int32_t>(parsed);
    return true;
}

void DataExchange::Fail(int id, const char* message) {
    failed_ = true;
    failedControl_ = id;
    ShowMessageBox(message, MsgIcon::Exclamation, MsgButtons::Ok);
}

Control* DataExchange::Target(int id) const {
    return failed_ ? nullptr : dialog_.FindControl(id);
}

template <typename Number>
void DataExchange::ExchangeNumber(int id, Number& value, bool (*parse)(const std::string&, Number&),
                                  const char* message) {
    Control* control = Target(id);
    if (control == nullptr) {
        return;
    }
    if (FromControls()) {
        Number parsed = 0;
        if (!parse(control->GetText(), parsed)) {
            Fail(id, message);
            return;
        }
        value = parsed;
    } else {
        control->SetText(std::to_string(value));
    }
}

void DataExchange::Text(int id, std::string& value) {
    Control* control = Target(id);
    if (control == nullptr) {
        return;
    }
    if (FromControls()) {
        value = control->GetText();
    } else {
        control->SetText(value);
    }
}

void DataExchange::Unsigned(int id, std::uint32_t& value) {
    ExchangeNumber(id, value, &ParseUnsigned, "Please enter a positive integer.");
}

void DataExchange::Int(int id, std::int32_t& value) {
    ExchangeNumber(id, value, &ParseInt, "Please enter an integer.");
}

void DataExchange::Check(int id, int& value) {
    auto* box = dynamic_cast<CheckBox*>(Target(id));
    if (box == nullptr) {
        return;
    }
    if (FromControls()) {
        value = box->GetCheck();
    } else {
        box->SetCheck(value);
    }
}

void DataExchange::Check(int id, bool& value) {
    int state = value ? 1 : 0;
    Check(id, state);
    value = state != 0;
}

void DataExchange::ListIndex(int id, int& index) {
    Control* control = Target(id);
    if (auto* list = dynamic_cast<StringList*>(control)) {
        if (FromControls()) {
            index = list->GetCurSel();
        } else {
            list->SetCurSel(index);
        }
    } else if (auto* view = dynamic_cast<ListView*>(control)) {
        if (FromControls()) {
            index = view->GetSelectedRow();
        } else {
            view->SetSelectedRow(index);
        }
    }
}

}  // namespace fw
