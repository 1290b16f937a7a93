#include "app/ui/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace tolvanet::ui {

namespace {
QWidget* Parent() {
  return QApplication::activeWindow();
}
QString Caption(const std::string& caption) {
  return caption.empty() ? QApplication::applicationDisplayName() : Q(caption);
}

std::optional<std::string> ChooseFile(const FileDialogOptions& o, bool save) {
  QFileDialog dialog(Parent(), Q(o.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!o.filter.empty())
    dialog.setNameFilter(Q(ToolkitFilter(o.filter)));
  if (!o.default_suffix.empty())
    dialog.setDefaultSuffix(Q(o.default_suffix));
  if (!o.folder.empty())
    dialog.setDirectory(Q(o.folder));
  if (!o.file_name.empty())
    dialog.selectFile(Q(o.file_name));
  if (save && o.own_overwrite_question)
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return S(dialog.selectedFiles().first());
}
}  // namespace

void QtPlatform::Message(const std::string& caption, const std::string& text) {
  QMessageBox::information(Parent(), Caption(caption), Q(text));
}

bool QtPlatform::Ask(const QuestionOptions& q) {
  QMessageBox box(QMessageBox::Question, Caption(q.caption), Q(q.text),
                  QMessageBox::Ok | QMessageBox::Cancel, Parent());
  box.setDefaultButton(q.default_cancel ? QMessageBox::Cancel : QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

std::optional<std::string> QtPlatform::OpenFile(const FileDialogOptions& options) {
  return ChooseFile(options, false);
}

std::optional<std::string> QtPlatform::SaveFile(const FileDialogOptions& options) {
  return ChooseFile(options, true);
}

void QtPlatform::Wait(int ms, bool take_input) {
  const auto flags = take_input ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QApplication::processEvents(flags, 20);
    QThread::msleep(static_cast<unsigned long>(std::min<qint64>(10, ms - timer.elapsed() + 1)));
  }
}

void QtPlatform::ProcessEvents() {
  QApplication::processEvents();
}

}  // namespace tolvanet::ui
