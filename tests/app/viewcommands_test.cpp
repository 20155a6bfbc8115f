// The View, File and Help commands: each toggle with its two messages, the filter panel's
// place, the designed columns, the help document and the About box.
#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QHelpEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>
#include <QToolTip>
#include <functional>

#include "app/columnlayout.h"
#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/navigator.h"
#include "app_fixture.h"

namespace quillet::app::testing {
namespace {

class ViewCommandsTest : public AppTest {};

TEST_F(ViewCommandsTest, EachToggleTwiceReturnsToItsStateWithTheFinalStatesMessage) {
  Start();
  TMainForm& f = Form();
  struct Toggle {
    QAction* item;
    int on;   // message when the option is now on
    int off;  // and when it is now off
    std::function<bool()> effect;  // the option's effect, which must follow the check
  };
  const Toggle toggles[] = {
      {f.Showalltables1, text::MsgAllTablesVisible, text::MsgMainTablesVisible,
       [&] { return f.MainPageControl->isTabVisible(4) && f.MainPageControl->isTabVisible(10); }},
      {f.Showhints1, text::MsgHintsEnabled, text::MsgHintsDisabled, [&] { return f.HintsEnabled(); }},
      {f.Showfilteredcolumns1, text::MsgFilteredColumnsVisible, text::MsgFilteredColumnsHidden,
       [&] { return f.Showfilteredcolumns1->isChecked(); }},
      {f.Showfilteringpanel1, text::MsgFilterPanelVisible, text::MsgFilterPanelHidden,
       [&] { return !f.TransactionsFilterPanel->isHidden(); }},
      {f.Allowfilterpanelfloating1, text::MsgFloatingEnabled, text::MsgFloatingDisabled,
       [&] { return (f.TransactionsFilterPanel->features() & QDockWidget::DockWidgetFloatable) != 0; }},
      {f.ImportExportconfirmations1, text::MsgConfirmationsEnabled, text::MsgConfirmationsDisabled,
       [&] { return f.ImportExportconfirmations1->isChecked(); }},
      {f.Importatstartup1, text::MsgImportAtStartupEnabled, text::MsgImportAtStartupDisabled,
       [&] { return f.Importatstartup1->isChecked(); }},
  };
  for (const Toggle& t : toggles) {
    SCOPED_TRACE(t.item->objectName().toStdString());
    const bool first = t.item->isChecked();
    ASSERT_EQ(t.effect(), first);
    t.item->trigger();
    EXPECT_EQ(t.item->isChecked(), !first);
    EXPECT_EQ(t.effect(), !first);
    EXPECT_EQ(f.StatusText(), Msg(first ? t.off : t.on));
    t.item->trigger();
    EXPECT_EQ(t.item->isChecked(), first);
    EXPECT_EQ(t.effect(), first);
    EXPECT_EQ(f.StatusText(), Msg(first ? t.on : t.off));
    EXPECT_NE(Msg(t.on), Msg(t.off));
  }
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(ViewCommandsTest, HidingTheAdditionalTablesWhileOneIsInFrontBringsATabbedPageForward) {
  Start();
  TMainForm& f = Form();
  for (QWidget* page : {f.Category1TabSheet, f.BalanceTypeTabSheet, f.CustomNamesTabSheet}) {
    SCOPED_TRACE(page->objectName().toStdString());
    f.Showalltables1Click();
    ASSERT_TRUE(f.Showalltables1->isChecked());
    f.MainPageControl->setCurrentWidget(page);
    f.Showalltables1Click();
    EXPECT_FALSE(f.MainPageControl->isTabVisible(f.MainPageControl->indexOf(page)));
    const int front = f.MainPageControl->currentIndex();
    EXPECT_GE(front, 0);
    EXPECT_LT(front, 4);
    EXPECT_TRUE(f.MainPageControl->isTabVisible(front));
  }
  // A main page in front stays there.
  f.MainPageControl->setCurrentWidget(f.AccountTabSheet);
  f.Showalltables1Click();
  f.Showalltables1Click();
  EXPECT_EQ(f.MainPageControl->currentWidget(), f.AccountTabSheet);
}

// Counts the hint questions that reach a control.
class HintCounter : public QObject {
 public:
  int asked = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ToolTip) ++asked;
    return false;
  }
};

TEST_F(ViewCommandsTest, EveryControlsHintFollowsTheSwitch) {
  Start();
  TMainForm& f = Form();
  QWidget* controls[] = {f.ImportButton, f.ImportPathEdit, f.ReceiptComboBox, f.AccToDBCheckBox,
                         f.TransactionsFilterPanel};
  for (QWidget* w : controls) {
    SCOPED_TRACE(w->objectName().toStdString());
    ASSERT_FALSE(w->toolTip().isEmpty());
    HintCounter counter;
    w->installEventFilter(&counter);
    // With hints on the control is asked for its hint; with hints off the window swallows the question.
    ASSERT_TRUE(f.HintsEnabled());
    QHelpEvent ask(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &ask);
    EXPECT_EQ(counter.asked, 1);
    f.Showhints1->trigger();
    ASSERT_FALSE(f.HintsEnabled());
    QHelpEvent again(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &again);
    EXPECT_EQ(counter.asked, 1);
    f.Showhints1->trigger();
    w->removeEventFilter(&counter);
  }
}

TEST_F(ViewCommandsTest, AltPTwiceWithThePanelFloatingHidesItThenDocksItAtTheTop) {
  Start();
  TMainForm& f = Form();
  f.MainPageControl->setCurrentWidget(f.TransactionsTabSheet);
  f.Allowfilterpanelfloating1Click();
  f.TransactionsFilterPanel->setFloating(true);
  ASSERT_TRUE(f.TransactionsFilterPanel->isFloating());

  QTest::keyClick(f.TransactionsKADaoDBGrid, Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(f.TransactionsFilterPanel->isHidden());
  EXPECT_FALSE(f.TransactionsFilterPanel->isFloating()) << "back in the page, hidden";
  EXPECT_FALSE(f.Showfilteringpanel1->isChecked());
  EXPECT_EQ(f.StatusText(), Msg(text::MsgFilterPanelHidden));

  QTest::keyClick(f.TransactionsKADaoDBGrid, Qt::Key_P, Qt::AltModifier);
  EXPECT_FALSE(f.TransactionsFilterPanel->isHidden());
  EXPECT_FALSE(f.TransactionsFilterPanel->isFloating());
  EXPECT_EQ(f.TransactionsFilterPanel->parentWidget(), f.TransactionsTabSheet);
  EXPECT_EQ(f.TransactionsTabSheet->dockWidgetArea(f.TransactionsFilterPanel), Qt::TopDockWidgetArea);
  EXPECT_TRUE(f.Showfilteringpanel1->isChecked());
  EXPECT_EQ(f.StatusText(), Msg(text::MsgFilterPanelVisible));
}

TEST_F(ViewCommandsTest, ThePanelToggleFollowsThePanelNotTheCheck) {
  Start();
  TMainForm& f = Form();
  f.TransactionsFilterPanel->hide();  // hidden some other way, the check still on
  ASSERT_TRUE(f.Showfilteringpanel1->isChecked());
  f.Showfilteringpanel1->trigger();
  EXPECT_FALSE(f.TransactionsFilterPanel->isHidden());
  EXPECT_TRUE(f.Showfilteringpanel1->isChecked());
  EXPECT_EQ(f.StatusText(), Msg(text::MsgFilterPanelVisible));
}

// Drags the panel by a point near its top edge, as a user would take hold of it.
void DragPanel(QDockWidget* panel) {
  const QPoint grip(panel->width() / 2, 3);
  QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, grip);
  for (int step = 1; step <= 10; ++step) {
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, 20 * step)),
                     QPointF(panel->mapToGlobal(grip + QPoint(0, 20 * step))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(panel, &move);
  }
  QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, grip + QPoint(0, 200));
}

TEST_F(ViewCommandsTest, WithFloatingOffThePanelCannotBeDraggedOut) {
  Start();
  TMainForm& f = Form();
  f.MainPageControl->setCurrentWidget(f.TransactionsTabSheet);
  f.show();
  ASSERT_FALSE(f.Allowfilterpanelfloating1->isChecked());
  QDockWidget* panel = f.TransactionsFilterPanel;
  EXPECT_EQ(panel->features() & (QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetMovable),
            QDockWidget::NoDockWidgetFeatures);
  ASSERT_NE(panel->titleBarWidget(), nullptr);
  EXPECT_EQ(panel->titleBarWidget()->height(), 0) << "nothing to take hold of";
  DragPanel(panel);
  EXPECT_FALSE(panel->isFloating());
  EXPECT_EQ(f.TransactionsTabSheet->dockWidgetArea(panel), Qt::TopDockWidgetArea);

  // Switched on, the panel has its title bar, and the same drag takes it out.
  f.Allowfilterpanelfloating1Click();
  EXPECT_EQ(panel->titleBarWidget(), nullptr);
  EXPECT_TRUE(panel->features() & QDockWidget::DockWidgetFloatable);
  EXPECT_TRUE(panel->features() & QDockWidget::DockWidgetMovable);
  QApplication::processEvents();
  DragPanel(panel);
  EXPECT_TRUE(panel->isFloating()) << "the same drag takes it out now";
}

TEST_F(ViewCommandsTest, RestoreDefaultColumnsUndoesMovesWidthsHidingAndTitles) {
  Start();
  TMainForm& f = Form();
  TKADaoDBGrid* grid = f.TransactionsKADaoDBGrid;
  const ColumnLayout designed = grid->Columns();
  ASSERT_EQ(designed, *DecodeColumnLayout(f.DefaultColumnLayout));

  QHeaderView* titles = grid->horizontalHeader();
  titles->moveSection(0, 7);
  titles->moveSection(12, 2);
  titles->resizeSection(titles->logicalIndex(grid->ColumnIndex("NOTES")), 311);
  titles->hideSection(titles->logicalIndex(grid->ColumnIndex("AMOUNT")));
  grid->SetColumnTitle("Category2Name", "Projects");
  ASSERT_NE(grid->Columns(), designed);

  f.Restoredefaultcolumns1->trigger();
  EXPECT_EQ(grid->Columns(), designed);
  for (int i = 0; i < grid->ColumnCount(); ++i) {
    EXPECT_EQ(titles->visualIndex(titles->logicalIndex(i)), i);
    EXPECT_FALSE(titles->isSectionHidden(titles->logicalIndex(i)));
    EXPECT_EQ(titles->sectionSize(titles->logicalIndex(i)), designed[static_cast<std::size_t>(i)].width);
  }
  EXPECT_EQ(f.StatusText(), Msg(text::MsgDefaultColumnsRestored));
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(ViewCommandsTest, ContentsOpensTheHelpDocumentOfTheTextsInEffect) {
  Start();
  TMainForm& f = Form();
  const std::string folder = home_->file("program");
  struct Case {
    bool russian;
    const char* file;
  };
  for (const Case c : {Case{true, "/RusQuilletDesktop.doc"}, Case{false, "/QuilletDesktop.htm"}}) {
    SCOPED_TRACE(c.file);
    if (c.russian)
      text::applyRussianMessages();
    else
      text::applyEnglishMessages();
    dialogs_.calls.clear();
    dialogs_.openDocumentResult = false;  // no application for it: the program says nothing
    QTest::keyClick(f.ImportPathEdit, Qt::Key_F1);
    ASSERT_EQ(dialogs_.calls.size(), 1u);
    EXPECT_EQ(dialogs_.calls[0].kind, DialogCall::OpenDocument);
    EXPECT_EQ(dialogs_.calls[0].text, folder + c.file);
    EXPECT_EQ(f.HelpPath().toStdString(), folder + c.file);
  }
}

TEST_F(ViewCommandsTest, AboutShowsEntryFourUnderItsCaption) {
  Start();
  TMainForm& f = Form();
  QTest::keyClick(f.ImportPathEdit, Qt::Key_A, Qt::AltModifier);  // not the menu bar's access key
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  const DialogCall& box = dialogs_.calls[0];
  EXPECT_EQ(box.kind, DialogCall::Inform) << "the information icon";
  EXPECT_EQ(box.caption, text::message(text::MsgAboutCaption));
  EXPECT_EQ(QString::fromStdString(box.caption), QString::fromUtf8("О программе - Quillet Десктоп"));
  EXPECT_EQ(box.text, text::message(text::MsgAbout));
  // The title, an empty line, then the maker's lines.
  EXPECT_EQ(box.text.rfind(text::message(text::MsgTitle) + "\n\n", 0), 0u);
  EXPECT_NE(box.text.find("KorvellInc"), std::string::npos);
}

TEST_F(ViewCommandsTest, ALetGoFloatingPanelLeavesTheWindow) {
  Start();
  TMainForm& f = Form();
  f.resize(370, 230);
  f.MainPageControl->setCurrentWidget(f.TransactionsTabSheet);
  f.Allowfilterpanelfloating1Click();
  QDockWidget* panel = f.TransactionsFilterPanel;
  panel->setFloating(true);
  panel->move(f.frameGeometry().topLeft() + QPoint(10, 60));  // over the grid's header
  ASSERT_TRUE(panel->frameGeometry().intersects(f.frameGeometry()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->frameGeometry().intersects(f.frameGeometry()); }, 2000));
  EXPECT_TRUE(panel->isFloating());
  EXPECT_TRUE(f.screen()->availableGeometry().contains(panel->frameGeometry()));
}

TEST_F(ViewCommandsTest, TheProgramAndNavigatorPicturesAreOurOwnAndTabsFollowTheMouse) {
  Start();
  TMainForm& f = Form();
  EXPECT_FALSE(f.windowIcon().isNull());
  EXPECT_GE(f.windowIcon().availableSizes().size(), 4);
  EXPECT_TRUE(f.MainPageControl->tabBar()->testAttribute(Qt::WA_Hover));
  // Five different pictures, each with a disabled form of its own.
  std::vector<QImage> pictures;
  for (int i = 0; i < TDBNavigator::kButtonCount; ++i) {
    const QIcon icon = f.TransactionsDBNavigator->button(static_cast<TDBNavigator::Button>(i))->icon();
    ASSERT_FALSE(icon.isNull());
    const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
    EXPECT_NE(normal, icon.pixmap(16, 16, QIcon::Disabled).toImage());
    for (const QImage& other : pictures) EXPECT_NE(normal, other) << i;
    pictures.push_back(normal);
  }
  // The three navigators share the set.
  EXPECT_EQ(f.AccountsDBNavigator->button(TDBNavigator::Refresh)->icon().pixmap(16, 16).toImage(), pictures[4]);
}

TEST_F(ViewCommandsTest, ExitClosesAsTheCloseButtonDoes) {
  Start();
  TMainForm& f = Form();
  f.Allowfilterpanelfloating1Click();
  f.TransactionsFilterPanel->setFloating(true);
  ASSERT_TRUE(f.isVisible());
  f.Exit1->trigger();
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(f.TransactionsFilterPanel->isFloating()) << "FormClose put the panel back";
  EXPECT_EQ(f.TransactionsTabSheet->dockWidgetArea(f.TransactionsFilterPanel), Qt::TopDockWidgetArea);
}

}  // namespace
}  // namespace quillet::app::testing

namespace quillet::app::testing {
namespace {

// The build puts both help documents beside the programs it builds, this test program included.
TEST(HelpDocumentsTest, BothLieBesideTheProgramAndOpenAsTheirType) {
  struct Case {
    bool russian;
    const char* start;   // how the document begins
    const char* inside;  // a text it must hold
  };
  for (const Case c : {Case{false, "<!DOCTYPE html>", "Import/Export"}, Case{true, "{\\rtf1", "\\u1048?"}}) {
    if (c.russian)
      text::applyRussianMessages();
    else
      text::applyEnglishMessages();
    const QString path = QCoreApplication::applicationDirPath() + Msg(text::MsgHelpFile);
    SCOPED_TRACE(path.toStdString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith(c.start));
    EXPECT_TRUE(bytes.contains(c.inside));
    EXPECT_GT(bytes.size(), 2000);
  }
  text::applyEnglishMessages();
}

}  // namespace
}  // namespace quillet::app::testing
