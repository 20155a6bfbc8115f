#pragma once
// The record navigator under a grid: first, prior, next, last and refresh.
#include <QStringList>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "store/table.h"

namespace quillet::app {

class TDBNavigator : public QWidget, public DataSourceListener {
  Q_OBJECT

 public:
  // The buttons the navigator shows, in order, and their place in the hint list of ten.
  enum Button { First, Prior, Next, Last, Refresh };
  static constexpr int kButtonCount = 5;
  static constexpr int kHintIndex[kButtonCount] = {0, 1, 2, 3, 9};

  explicit TDBNavigator(QWidget* parent = nullptr);
  ~TDBNavigator() override;

  // Binds to the data source (nullptr unbinds). Unbind before the data source goes away.
  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const { return source_; }
  void setErrorHandler(std::function<void(const std::exception&)> handler) { onError_ = std::move(handler); }

  // The ten hints: first, prior, next, last, insert, delete, edit, post, cancel, refresh.
  void SetHints(const QStringList& hints);
  const QStringList& Hints() const { return hints_; }

  QToolButton* button(Button b) const { return buttons_[b]; }
  void Click(Button b);

  void dataReset() override { updateButtons(); }
  void rowInserted(int) override { updateButtons(); }
  void rowRemoved(int) override { updateButtons(); }
  void rowChanged(int) override {}
  void currentChanged(int) override { updateButtons(); }

 private:
  void updateButtons();

  QToolButton* buttons_[kButtonCount] = {};
  QStringList hints_;
  TDataSource* source_ = nullptr;
  std::function<void(const std::exception&)> onError_;
};

}  // namespace quillet::app
