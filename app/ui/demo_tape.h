// The demo's paper tape: the built-in register's printed documents go to the "Чековая лента"
// window. The register prints on the simulator's thread; the window takes each document on its
// own thread, so it stays painted (and fills) while another window waits for the register.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/ui/tape_window.h"
#include "sim/register.h"
#include "sim/tape.h"

namespace tolvanet::ui {

// Sends what `reg` prints to `window`. Call reg.SetPrintSink({}) before the window goes.
inline void ConnectTape(TapeWindow& window, sim::Register& reg) {
  QPointer<TapeWindow> target(&window);
  // The cut goes across the paper the document before came out on.
  auto previous_width = std::make_shared<int>(0);
  reg.SetPrintSink([target, previous_width](const sim::PrintedDocument& doc) {
    QStringList lines;
    for (const std::string& line : doc.tape)
      lines << QString::fromStdString(line);
    const QString cut = QString::fromStdString(
        sim::CutLine(*previous_width > 0 ? *previous_width : doc.tape_width));
    *previous_width = doc.tape_width;
    QMetaObject::invokeMethod(
        target.data(),
        [target, lines, cut] {
          if (target)
            target->AddDocument(lines, cut);
        },
        Qt::QueuedConnection);
  });
}

}  // namespace tolvanet::ui
