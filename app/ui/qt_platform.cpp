#include "app/ui/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace tolvanet::ui {

namespace {
QWidget* Parent() {
  return QApplication::activeWindow();
}
QString Title() {
  return QApplication::applicationDisplayName();
}
}  // namespace

void QtPlatform::ShowMessage(const std::string& text) {
  QMessageBox::information(Parent(), Title(), Q(text));
}

bool QtPlatform::Confirm(const std::string& text) {
  return QMessageBox::question(Parent(), Title(), Q(text), QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<std::string> QtPlatform::OpenFileName(const std::string& title,
                                                    const std::string& filter) {
  QString name = QFileDialog::getOpenFileName(Parent(), Q(title), QString(), Q(filter));
  if (name.isEmpty())
    return std::nullopt;
  return S(name);
}

std::optional<std::string> QtPlatform::SaveFileName(const std::string& title,
                                                    const std::string& filter) {
  QString name = QFileDialog::getSaveFileName(Parent(), Q(title), QString(), Q(filter));
  if (name.isEmpty())
    return std::nullopt;
  return S(name);
}

void QtPlatform::Pause(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(static_cast<unsigned long>(std::min<qint64>(10, ms - timer.elapsed() + 1)));
  }
}

void QtPlatform::ProcessEvents() {
  QApplication::processEvents();
}

}  // namespace tolvanet::ui
