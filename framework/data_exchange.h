#pragma once
// Data exchange between a dialog's fields and its controls, in both directions. Reading back
// (controls -> fields) validates numbers: bad text shows the message box and stops the exchange at
// that control, leaving later fields unchanged. Copying fields into controls never runs handlers.

#include <cstdint>
#include <string>

namespace fw {

class Control;
class Dialog;

class DataExchange {
  public:
    enum class Direction { ToControls, FromControls };

    DataExchange(Dialog& dialog, Direction direction) : dialog_(dialog), direction_(direction) {}

    bool FromControls() const { return direction_ == Direction::FromControls; }
    bool Failed() const { return failed_; }
    // Control id that failed validation, or 0.
    int FailedControl() const { return failedControl_; }

    // Text of an edit, label, button, check box or group box caption.
    void Text(int id, std::string& value);
    // Edit holding an unsigned 32-bit decimal number. Reading back text that is not one shows
    // "Please enter a positive integer." (exclamation icon, OK) and fails.
    void Unsigned(int id, std::uint32_t& value);
    // Edit holding a signed 32-bit decimal number; "Please enter an integer." on bad text.
    void Int(int id, std::int32_t& value);
    // Check box: 0/1.
    void Check(int id, int& value);
    void Check(int id, bool& value);
    // Selected row of a list box, check list box, combo box or list view (-1 = none).
    void ListIndex(int id, int& index);

    // Parsing rules used by Unsigned and Int: optional blanks around, digits only (a leading '-'
    // or '+' for Int), within range. Exposed for tests and pages.
    static bool ParseUnsigned(const std::string& text, std::uint32_t& value);
    static bool ParseInt(const std::string& text, std::int32_t& value);

  private:
    // The control a step works on: null once the exchange has failed, or when the dialog has no
    // control with that id.
    Control* Target(int id) const;
    template <typename Number>
    void ExchangeNumber(int id, Number& value, bool (*parse)(const std::string&, Number&),
                        const char* message);
    void Fail(int id, const char* message);

    Dialog& dialog_;
    Direction direction_;
    bool failed_ = false;
    int failedControl_ = 0;
};

}  // namespace fw
