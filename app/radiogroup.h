#pragma once
// A group of radio buttons with one item index, in columns. Every change of the index,
// by a click or by the program, emits Click().
#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <vector>

namespace quillet::app {

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit TRadioGroup(QWidget* parent = nullptr, int columns = 2);

  void SetItems(const QStringList& items);  // keeps the item index where it still exists
  QStringList Items() const;
  int ItemIndex() const { return index_; }
  // -1 clears the choice; values beyond the items select the last one.
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const;

 signals:
  void Click();

 private:
  void rebuild(const QStringList& items);
  void showIndex();

  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
  int columns_;
  int index_ = -1;
};

}  // namespace quillet::app
