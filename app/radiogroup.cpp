#include "app/radiogroup.h"

#include <QEvent>
#include <QGridLayout>
#include <QResizeEvent>
#include <algorithm>

namespace quillet::app {

TRadioGroup::TRadioGroup(QWidget* parent, int columns)
    : QGroupBox(parent), group_(new QButtonGroup(this)), columns_(std::max(1, columns)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setHorizontalSpacing(8);
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    if (id != index_) {
      index_ = id;
      emit Click();
    }
  });
}

void TRadioGroup::rebuild(const QStringList& items) {
  for (QRadioButton* b : buttons_) {
    group_->removeButton(b);
    delete b;
  }
  buttons_.clear();
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    b->setObjectName(objectName() + QStringLiteral("Item") + QString::number(i));
    b->setMinimumWidth(1);  // the group decides how wide its columns may be
    group_->addButton(b, i);
    buttons_.push_back(b);
  }
  arrange(true);
}

int TRadioGroup::sideBySideWidth() const {
  const QMargins m = contentsMargins() + layout()->contentsMargins();
  int width = m.left() + m.right();
  const int rows = buttons_.empty() ? 1 : (static_cast<int>(buttons_.size()) + columns_ - 1) / columns_;
  for (int c = 0; c < columns_; ++c) {
    int widest = 0;
    for (int r = 0; r < rows; ++r) {
      const std::size_t i = static_cast<std::size_t>(c * rows + r);
      if (i < buttons_.size()) widest = std::max(widest, buttons_[i]->sizeHint().width());
    }
    width += widest;
  }
  return width + (columns_ - 1) * std::max(0, static_cast<QGridLayout*>(layout())->horizontalSpacing());
}

void TRadioGroup::arrange(bool force) {
  const int columns = width() >= sideBySideWidth() ? columns_ : 1;
  if (!force && columns == shownColumns_) return;
  shownColumns_ = columns;
  auto* grid = static_cast<QGridLayout*>(layout());
  for (QRadioButton* b : buttons_) grid->removeWidget(b);
  const int rows = (static_cast<int>(buttons_.size()) + columns - 1) / columns;
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i)
    grid->addWidget(buttons_[static_cast<std::size_t>(i)], rows ? i % rows : 0, rows ? i / rows : 0);
  // At least as wide as one column of buttons, and as high as the rows they take now.
  const QMargins m = contentsMargins() + grid->contentsMargins();
  int widest = 0;
  for (const QRadioButton* b : buttons_) widest = std::max(widest, b->sizeHint().width());
  grid->invalidate();
  const QSize least = QGroupBox::minimumSizeHint();
  setMinimumSize(std::max(least.width(), widest + m.left() + m.right()), least.height());
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  arrange(false);
}

void TRadioGroup::changeEvent(QEvent* event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) arrange(true);
}

void TRadioGroup::SetItems(const QStringList& items) {
  if (static_cast<int>(buttons_.size()) == items.size()) {
    for (int i = 0; i < items.size(); ++i) buttons_[static_cast<std::size_t>(i)]->setText(items[i]);
    arrange(true);
    return;
  }
  rebuild(items);
  index_ = std::min(index_, static_cast<int>(buttons_.size()) - 1);
  showIndex();
}

QStringList TRadioGroup::Items() const {
  QStringList items;
  for (const QRadioButton* b : buttons_) items << b->text();
  return items;
}

QRadioButton* TRadioGroup::Button(int index) const {
  return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[static_cast<std::size_t>(index)]
                                                                  : nullptr;
}

void TRadioGroup::showIndex() {
  group_->setExclusive(false);  // lets "no item" show too
  for (std::size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setChecked(static_cast<int>(i) == index_);
  group_->setExclusive(true);
}

void TRadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, static_cast<int>(buttons_.size()) - 1);
  const bool changed = index != index_;
  index_ = index;
  showIndex();
  if (changed) emit Click();
}

}  // namespace quillet::app
