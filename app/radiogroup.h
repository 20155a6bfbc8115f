#pragma once
// A group of radio buttons with one item index, in columns while they fit side by side and
// in one column when they do not. Every change of the index, by a click or by the program,
// emits Click().
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

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void rebuild(const QStringList& items);
  // Places the buttons in the columns that fit the width; force re-places them anyway.
  void arrange(bool force);
  int sideBySideWidth() const;
  void showIndex();

  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
  int columns_;
  int shownColumns_ = 0;
  int index_ = -1;
};

}  // namespace quillet::app
