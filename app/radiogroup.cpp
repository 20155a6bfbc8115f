#include "app/radiogroup.h"

#include <QGridLayout>
#include <algorithm>

namespace quillet::app {

TRadioGroup::TRadioGroup(QWidget* parent, int columns)
    : QGroupBox(parent), group_(new QButtonGroup(this)), columns_(std::max(1, columns)) {
  new QGridLayout(this);
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
  auto* grid = static_cast<QGridLayout*>(layout());
  const int rows = (static_cast<int>(items.size()) + columns_ - 1) / columns_;
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    b->setObjectName(objectName() + QStringLiteral("Item") + QString::number(i));
    group_->addButton(b, i);
    grid->addWidget(b, rows ? i % rows : 0, rows ? i / rows : 0);
    buttons_.push_back(b);
  }
}

void TRadioGroup::SetItems(const QStringList& items) {
  if (static_cast<int>(buttons_.size()) == items.size()) {
    for (int i = 0; i < items.size(); ++i) buttons_[static_cast<std::size_t>(i)]->setText(items[i]);
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
