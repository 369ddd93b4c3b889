#include "framework/edit.h"

#include <QValidator>
#include <algorithm>
#include <limits>

#include "framework/dialog_template.h"
#include "framework/text.h"

namespace fw {

// Applies the length limit and the digits-only rule to what the user inserts. It compares the
// proposed text with the text before the change, so text the program put there (longer than the
// limit, or with other characters) is never refused or cut.
class Edit::InputRule : public QValidator {
  public:
    explicit InputRule(Edit& edit) : QValidator(&edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override {
        if (edit_.InProgrammaticChange()) {
            return Acceptable;
        }
        const QString& before = edit_.lastText_;
        // The inserted part: what lies between the common prefix and the common suffix.
        qsizetype prefix = 0;
        const qsizetype shorter = std::min(input.size(), before.size());
        while (prefix < shorter && input[prefix] == before[prefix]) {
            ++prefix;
        }
        qsizetype suffix = 0;
        while (suffix < shorter - prefix &&
               input[input.size() - 1 - suffix] == before[before.size() - 1 - suffix]) {
            ++suffix;
        }
        QString inserted = input.mid(prefix, input.size() - prefix - suffix);
        if (edit_.digitsOnly_) {
            for (const QChar c : inserted) {
                if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                    return Invalid;
                }
            }
        }
        if (edit_.limit_ > 0 && input.size() > edit_.limit_ && input.size() > before.size()) {
            // Keep as much of the insertion as still fits (at least the old length).
            const qsizetype allowed = std::max<qsizetype>(edit_.limit_, before.size());
            const qsizetype excess = input.size() - allowed;
            if (excess > inserted.size()) {
                return Invalid;
            }
            inserted.chop(excess);
            input = input.left(prefix) + inserted + input.right(suffix);
            pos = static_cast<int>(prefix + inserted.size());
        }
        return Acceptable;
    }

  private:
    Edit& edit_;
};

Edit::Edit(QWidget* parent, Dialog* owner, int id, unsigned style)
    : QLineEdit(parent), Control(owner, id) {
    setValidator(new InputRule(*this));
    digitsOnly_ = (style & kDigitsOnly) != 0;
    setReadOnly((style & kReadOnly) != 0);
    if ((style & kPassword) != 0) {
        setEchoMode(QLineEdit::Password);
    }
    if ((style & kAlignRight) != 0) {
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else if ((style & kAlignCenter) != 0) {
        setAlignment(Qt::AlignCenter);
    }
    // QLineEdit has its own limit of 32767 characters; ours is applied by the input rule.
    setMaxLength(std::numeric_limits<int>::max() / 2);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
    connect(this, &QLineEdit::textEdited, this, [this](const QString&) {
        if (!InProgrammaticChange()) {
            Report(Notify::TextChanged);
        }
    });
}

std::string Edit::GetText() const {
    return FromQt(text());
}

void Edit::SetText(const std::string& value) {
    ProgrammaticChange change(*this);
    const QString qtText = ToQt(value);
    if (qtText != text()) {
        setText(qtText);
        // As on the platform, a text the program puts in is shown from its start, not its end.
        setCursorPosition(0);
    }
    lastText_ = text();
}

void Edit::SetLimitText(int characters) {
    limit_ = characters < 0 ? 0 : characters;
}

void Edit::SetSel(int start, int end) {
    ProgrammaticChange change(*this);
    const int length = static_cast<int>(text().size());
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    // QLineEdit keeps the caret in view by itself; setSelection puts it at the second position.
    if (start == end) {
        setCursorPosition(end);
    } else {
        setSelection(start, end - start);
    }
}

void Edit::SetDigitsOnly(bool on) {
    digitsOnly_ = on;
}

}  // namespace fw
