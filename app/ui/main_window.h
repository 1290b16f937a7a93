// TForm1: the main window: connection to the register through the relay, and the menu of tasks.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <functional>
#include <map>
#include <vector>

#include "app/ui/indicator.h"
#include "link/relay_link.h"

namespace tolvanet::ui {

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Connection controls.
  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLineEdit* Edit1;
  QLabel* Label2;
  QLineEdit* Edit2;
  QLabel* Label3;
  Indicator* Shape1;
  QLabel* Label4;
  Indicator* Shape2;
  QPushButton* Button3;
  QPushButton* Button4;
  QPushButton* Button2;
  QPushButton* Button1;
  QGroupBox* GroupBox2;
  QPushButton* BitBtn1;
  QCheckBox* CheckBox1;
  QLabel* StatusBar1;

  // Menus and items.
  QMenu* N6;  // Продажа
  QAction *N7, *N8, *N9, *N10, *N16;
  QMenu* N4;  // Команды
  QAction *N31, *N24;
  QMenu* N2;  // Отчеты
  QAction *N11, *VRN3031, *N12, *N13, *N14, *N22, *N15;
  QMenu* N17;  // Утилиты
  QAction *N25, *N26, *N36, *N27, *N18, *N40, *N20, *N21, *N1, *N3;
  QMenu* N28;  // Фискальные параметры
  QAction *N29, *N30, *N19, *N42, *N23, *N32, *IDDEV1, *N43, *N44;
  QAction* N5;  // О программе...

  // The dialog a menu item opens; items without one stay disabled, saying so.
  void SetDialog(QAction* item, QDialog* dialog);
  // Work of other windows that belongs to the main window's activation (run before its own).
  void AddActivationStep(std::function<void()> step) {
    activation_steps_.push_back(std::move(step));
  }
  // The two fiscal-parameter windows that "Чтение и программирование" chooses between.
  void SetFiscalDialogs(QDialog* standard, QDialog* extended) {
    standard_fiscal_ = standard;
    extended_fiscal_ = extended;
  }
  // Shows a task window modally; the main window is activated again afterwards.
  void ShowModal(QDialog* dialog);
  // The register line in the status bar (also set by the status-byte window's refresh).
  void SetStatusLine(const QString& text);
  bool Connected() const;

 public slots:
  void FormActivate();
  void Button3Click();
  void Button4Click();
  void Button2Click();
  void Button1Click();
  void N7Click();
  void N8Click();
  void N9Click();
  void N10Click();
  void N16Click();
  void N31Click();
  void N24Click();
  void N11Click();
  void VRN3031Click();
  void N12Click();
  void N13Click();
  void N14Click();
  void N22Click();
  void N15Click();
  void N25Click();
  void N26Click();
  void N36Click();
  void N27Click();
  void N18Click();
  void N40Click();
  void N20Click();
  void N21Click();
  void N1Click();
  void N3Click();
  void N29Click();
  void N30Click();
  void N19Click();
  void N42Click();
  void N23Click();
  void N32Click();
  void IDDEV1Click();
  void N43Click();
  void N44Click();
  void N5Click();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void FormClose();
  void BuildMenus();
  QAction* AddItem(QMenu* menu, const char* name, const QString& caption, void (TForm1::*slot)());
  void EnableMenus(bool on);
  // One attempt of "Подключить", restarted while the socket drops (at most three times over
  // the program's life); it returns with its outcome shown.
  void ConnectAttempt();
  // Between the steps of an attempt: both indicators yellow; true when the socket has dropped
  // and the attempt starts again.
  bool SocketDropped();
  // Lets go of the relay and turns the indicators red: both at once, or one after the other
  // with the pauses an abort and "Закрыть" show.
  void CloseConnection(bool one_by_one);
  void Disconnect();
  void ClientSocketEvent(SocketEvent e);
  void PaintBoth(const QColor& c);
  void OpenFor(QAction* item);

  std::map<QAction*, QDialog*> dialogs_;
  std::vector<std::function<void()>> activation_steps_;
  QDialog* standard_fiscal_ = nullptr;
  QDialog* extended_fiscal_ = nullptr;
  bool abort_ = false;
  bool activated_once_ = false;
  int reconnects_ = 0;  // restarts of a connection attempt over the program's lifetime
};

}  // namespace tolvanet::ui
