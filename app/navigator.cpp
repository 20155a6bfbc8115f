#include "app/navigator.h"

#include "app/icons.h"

#include <QHBoxLayout>
#include <QStyle>
#include <algorithm>

namespace quillet::app {

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  static const char* const names[kButtonCount] = {"nbFirst", "nbPrior", "nbNext", "nbLast", "nbRefresh"};
  const NavigatorPicture icons[kButtonCount] = {NavigatorPicture::First, NavigatorPicture::Prior,
                                                NavigatorPicture::Next, NavigatorPicture::Last,
                                                NavigatorPicture::Refresh};
  for (int i = 0; i < kButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(names[i]));
    b->setIcon(NavigatorIcon(icons[i]));
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumSize(25, 25);
    connect(b, &QToolButton::clicked, this, [this, i] { Click(static_cast<Button>(i)); });
    layout->addWidget(b);
    buttons_[i] = b;
  }
  layout->addStretch(1);
  updateButtons();
}

TDBNavigator::~TDBNavigator() {
  if (source_) source_->removeListener(this);
}

void TDBNavigator::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_) source_->removeListener(this);
  source_ = source;
  if (source_) source_->addListener(this);
  updateButtons();
}

void TDBNavigator::SetHints(const QStringList& hints) {
  hints_ = hints;
  for (int i = 0; i < kButtonCount; ++i)
    buttons_[i]->setToolTip(kHintIndex[i] < hints_.size() ? hints_[kHintIndex[i]] : QString());
}

void TDBNavigator::Click(Button b) {
  if (!source_) return;
  TKADaoTable& view = source_->DataSet();
  if (!view.Active()) return;
  try {
    switch (b) {
      case First:
        view.First();
        break;
      case Prior:
        view.Prior();
        break;
      case Next:
        view.Next();
        break;
      case Last:
        view.Last();
        break;
      case Refresh: {
        // Fresh rows, the same place in them.
        const int row = view.RecNo();
        view.Refresh();
        if (row > 0 && view.RecordCount() > 0) view.SetRecNo(std::min(row, view.RecordCount() - 1));
        break;
      }
    }
  } catch (const std::exception& e) {
    if (onError_) onError_(e);
  }
  updateButtons();
}

void TDBNavigator::updateButtons() {
  const TKADaoTable* view = source_ ? &source_->DataSet() : nullptr;
  const bool active = view && view->Active();
  const int row = active ? view->RecNo() : -1;
  const int count = active ? view->RecordCount() : 0;
  buttons_[First]->setEnabled(active && row > 0);
  buttons_[Prior]->setEnabled(active && row > 0);
  buttons_[Next]->setEnabled(active && row >= 0 && row < count - 1);
  buttons_[Last]->setEnabled(active && row >= 0 && row < count - 1);
  buttons_[Refresh]->setEnabled(active);
}

}  // namespace quillet::app
