#include "framework/tab_control.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "framework/dialog_template.h"
#include "framework/text.h"

namespace fw {
namespace {

constexpr int kTextPadding = 6;      // pixels left and right of a tab's text
constexpr int kVerticalPadding = 3;  // pixels above and below the text

}  // namespace

TabControl::TabControl(QWidget* parent, Dialog* owner, int id, unsigned style)
    : QWidget(parent),
      Control(owner, id),
      multiLine_((style & kMultiLineTabs) != 0),
      hotTrack_((style & kHotTrack) != 0) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

int TabControl::InsertItem(int index, const std::string& text) {
    if (index < 0 || index > GetItemCount()) {
        index = GetItemCount();
    }
    Tab tab;
    tab.text = ToQt(text);
    tabs_.insert(tabs_.begin() + index, tab);
    if (current_ >= index) {
        ++current_;
    }
    dirty_ = true;
    update();
    return index;
}

bool TabControl::DeleteItem(int index) {
    if (index < 0 || index >= GetItemCount()) {
        return false;
    }
    tabs_.erase(tabs_.begin() + index);
    if (current_ == index) {
        current_ = -1;
    } else if (current_ > index) {
        --current_;
    }
    hot_ = -1;
    dirty_ = true;
    update();
    return true;
}

void TabControl::DeleteAllItems() {
    tabs_.clear();
    current_ = -1;
    hot_ = -1;
    dirty_ = true;
    update();
}

std::string TabControl::GetItemText(int index) const {
    if (index < 0 || index >= GetItemCount()) {
        return {};
    }
    return FromQt(tabs_[static_cast<size_t>(index)].text);
}

int TabControl::SetCurSel(int index) {
    const int previous = current_;
    if (index < 0 || index >= GetItemCount()) {
        return -1;
    }
    current_ = index;
    dirty_ = true;  // the selected tab's row moves next to the page area
    update();
    return previous;
}

int TabControl::TabHeight() const {
    return fontMetrics().height() + 2 * kVerticalPadding;
}

int TabControl::TabWidth(const Tab& tab) const {
    return fontMetrics().horizontalAdvance(tab.text) + 2 * kTextPadding;
}

void TabControl::Layout() const {
    if (!dirty_) {
        return;
    }
    dirty_ = false;
    const int available = std::max(1, width());
    const int h = TabHeight();
    // Fill rows left to right.
    std::vector<std::vector<int>> rows(1);
    int used = 0;
    for (size_t i = 0; i < tabs_.size(); ++i) {
        const int w = TabWidth(tabs_[i]);
        if (multiLine_ && !rows.back().empty() && used + w > available) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(static_cast<int>(i));
        used += w;
    }
    rows_ = static_cast<int>(rows.size());
    // The row holding the selected tab is drawn last, next to the page area; the rows keep their
    // order otherwise (rotated like the platform's stack of rows).
    int selectedRow = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int index : rows[r]) {
            tabs_[static_cast<size_t>(index)].row = static_cast<int>(r);
            if (index == current_) {
                selectedRow = static_cast<int>(r);
            }
        }
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        // Rotation: the selected row gets the bottom line (rows_-1).
        const int line = (static_cast<int>(r) - selectedRow - 1 + 2 * rows_) % rows_;
        int total = 0;
        for (int index : rows[r]) {
            total += TabWidth(tabs_[static_cast<size_t>(index)]);
        }
        // With several rows, every row is stretched to the full width.
        const int extra = (rows_ > 1 && total < available) ? available - total : 0;
        const int count = static_cast<int>(rows[r].size());
        int x = 0;
        for (int k = 0; k < count; ++k) {
            Tab& tab = tabs_[static_cast<size_t>(rows[r][static_cast<size_t>(k)])];
            int w = TabWidth(tab) + (count > 0 ? extra / count : 0);
            if (k == count - 1 && extra > 0) {
                w = available - x;  // the last tab takes the remainder
            }
            tab.rect = QRect(x, line * h, w, h);
            x += w;
        }
    }
}

QRect TabControl::GetItemRect(int index) const {
    if (index < 0 || index >= GetItemCount()) {
        return {};
    }
    Layout();
    return tabs_[static_cast<size_t>(index)].rect;
}

int TabControl::GetRowCount() const {
    Layout();
    return tabs_.empty() ? 1 : rows_;
}

int TabControl::HitTest(const QPoint& point) const {
    Layout();
    for (size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i].rect.contains(point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string TabControl::GetText() const {
    return GetItemText(current_);
}

QSize TabControl::sizeHint() const {
    return QSize(200, 150);
}

void TabControl::paintEvent(QPaintEvent*) {
    Layout();
    QPainter painter(this);
    const QPalette& pal = palette();
    const int rowsHeight = GetRowCount() * TabHeight();
    // Page area: a raised frame below the rows of tabs.
    const QRect area(0, rowsHeight, width() - 1, height() - rowsHeight - 1);
    painter.fillRect(area, pal.color(QPalette::Window));
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.drawLine(area.topLeft(), area.topRight());
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
    for (size_t i = 0; i < tabs_.size(); ++i) {
        const Tab& tab = tabs_[i];
        const bool selected = static_cast<int>(i) == current_;
        const bool hot = hotTrack_ && static_cast<int>(i) == hot_;
        // The selected tab stands out by two pixels and joins the page area.
        QRect r = tab.rect.adjusted(0, 2, -1, 0);
        if (selected) {
            r = tab.rect.adjusted(0, 0, -1, 1);
        }
        QColor fill = pal.color(selected ? QPalette::Window : QPalette::Button);
        if (hot && !selected) {
            fill = pal.color(QPalette::Highlight).lighter(185);
        }
        painter.fillRect(r, fill);
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(r.bottomLeft(), r.topLeft());
        painter.drawLine(r.topLeft(), r.topRight());
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(r.topRight(), r.bottomRight());
        if (!selected) {
            painter.setPen(pal.color(QPalette::Mid));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
        }
        painter.setPen(pal.color(isEnabled() ? QPalette::WindowText : QPalette::Mid));
        painter.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic, tab.text);
    }
}

void TabControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int index = HitTest(event->position().toPoint());
    if (index < 0 || index == current_) {
        return;
    }
    SetCurSel(index);
    Report(Notify::SelChange);
}

void TabControl::mouseMoveEvent(QMouseEvent* event) {
    const int index = HitTest(event->position().toPoint());
    if (index != hot_) {
        hot_ = index;
        update();
    }
}

void TabControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hot_ != -1) {
        hot_ = -1;
        update();
    }
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    dirty_ = true;
}

void TabControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        dirty_ = true;
        update();
    }
}

}  // namespace fw
