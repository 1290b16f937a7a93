// The layout rule of every window, for the window tests: longer texts make a window grow,
// never clip, and no window outgrows a 1366 x 768 screen.
#pragma once

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace tolvanet {

inline constexpr int kScreenWidth = 1366;
inline constexpr int kScreenHeight = 768;

// What does not fit in `window`, one line per fault.
inline QStringList LayoutFaults(QWidget* window) {
  QStringList faults;
  const QString name = window->objectName() + " \"" + window->windowTitle() + "\"";
  if (window->width() > kScreenWidth || window->height() > kScreenHeight)
    faults << QString("%1 is %2 x %3").arg(name).arg(window->width()).arg(window->height());
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->window() != window)
      continue;
    // The toolkit's own parts of a widget (a spin box's line edit, a table's headers) are sized
    // by the widget they belong to, not by their hints.
    if (w->objectName().startsWith("qt_") || qobject_cast<QHeaderView*>(w) != nullptr)
      continue;
    // A label that wraps its words trades width for height: its hint is not a minimum.
    if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap())
      continue;
    const QSize hint = w->minimumSizeHint();
    if (!hint.isValid())
      continue;
    if (w->width() < hint.width() || w->height() < hint.height()) {
      faults << QString("%1: %2 (%3) is %4 x %5, needs %6 x %7")
                    .arg(name, w->objectName(), w->metaObject()->className())
                    .arg(w->width())
                    .arg(w->height())
                    .arg(hint.width())
                    .arg(hint.height());
    }
  }
  return faults;
}

// The faults of each of `windows`, each shown on its own and hidden again.
inline QStringList LayoutFaultsShown(const std::vector<QWidget*>& windows) {
  QStringList faults;
  for (QWidget* window : windows) {
    window->show();
    QCoreApplication::processEvents();
    faults << LayoutFaults(window);
    window->hide();
  }
  return faults;
}

}  // namespace tolvanet
