#include "framework/label.h"

#include <QPainter>

#include "framework/dialog_template.h"
#include "framework/icons.h"
#include "framework/text.h"

namespace fw {

Label::Label(QWidget* parent, Dialog* owner, int id, const std::string& caption, unsigned style)
    : QLabel(parent), Control(owner, id) {
    // Captions are shown exactly as given.
    setTextFormat(Qt::PlainText);
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    if ((style & kAlignRight) != 0) {
        align = Qt::AlignRight | Qt::AlignTop;
    } else if ((style & kAlignCenter) != 0) {
        align = Qt::AlignHCenter | Qt::AlignTop;
    }
    const bool sunken = (style & kSunken) != 0;
    if (sunken) {
        // A status line: one line of text, clear of its frame.
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setIndent(3);
        align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    }
    setAlignment(align);
    setWordWrap(!sunken);
    SetText(caption);
}

std::string Label::GetText() const {
    return FromQt(text());
}

void Label::SetText(const std::string& value) {
    setText(ToQt(value));
}

IconLabel::IconLabel(QWidget* parent, Dialog* owner, int id, int iconId)
    : QLabel(parent), Control(owner, id), iconId_(iconId) {
    Refresh();
}

void IconLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refresh();
}

void IconLabel::Refresh() {
    const QIcon icon = LoadIcon(iconId_);
    if (!icon.isNull()) {
        setPixmap(icon.pixmap(size().isEmpty() ? QSize(32, 32) : size()));
    }
}

GroupBox::GroupBox(QWidget* parent, Dialog* owner, int id, const std::string& caption)
    : QGroupBox(ToQt(caption), parent), Control(owner, id) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect frame(0, top, width() - 2, height() - top - 2);
    // Etched frame: a dark line with a light one beside it.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    const QString caption = title();
    if (caption.isEmpty()) {
        return;
    }
    const int x = metrics.averageCharWidth() + 2;
    const QRect textRect(x, 0, metrics.horizontalAdvance(caption) + 4, metrics.height());
    painter.fillRect(textRect, palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::WindowText : QPalette::Mid));
    painter.drawText(textRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);
}

std::string GroupBox::GetText() const {
    return FromQt(title());
}

void GroupBox::SetText(const std::string& value) {
    setTitle(ToQt(value));
}

}  // namespace fw
