// The demo's paper tape: the built-in register's printed documents go to the "Чековая лента"
// window. The register prints on the simulator's thread; the window takes each document on its
// own thread, so it stays painted (and fills) while another window waits for the register.
#pragma once

#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <cstring>
#include <memory>
#include <utility>

#include "app/ui/tape_window.h"
#include "sim/register.h"
#include "sim/tape.h"

namespace tolvanet::ui {

// The logo as a picture: dark dots as the print, the rest as the paper.
inline QImage LogoImage(const sim::LogoPicture& logo) {
  QImage image(logo.width, logo.height, QImage::Format_Mono);
  image.setColorTable({qRgb(0xFB, 0xF8, 0xEE), qRgb(0x20, 0x20, 0x20)});
  const auto row_bytes = static_cast<std::size_t>((logo.width + 7) / 8);
  for (int y = 0;
       y < logo.height && (static_cast<std::size_t>(y) + 1) * row_bytes <= logo.bits.size(); ++y)
    std::memcpy(image.scanLine(y), logo.bits.data() + static_cast<std::size_t>(y) * row_bytes,
                row_bytes);
  return image;
}

// Sends what `reg` prints to `window`. Call reg.SetPrintSink({}) before the window goes.
inline void ConnectTape(TapeWindow& window, sim::Register& reg) {
  QPointer<TapeWindow> target(&window);
  // The cut goes across the paper the document before came out on.
  auto previous_width = std::make_shared<int>(0);
  // The picture of the logo the documents share, made once.
  auto logo = std::make_shared<std::pair<std::shared_ptr<const sim::LogoPicture>, QImage>>();
  reg.SetPrintSink([target, previous_width, logo](const sim::PrintedDocument& doc) {
    QStringList lines;
    for (const std::string& line : doc.tape)
      lines << QString::fromStdString(line);
    const QString cut = QString::fromStdString(
        sim::CutLine(*previous_width > 0 ? *previous_width : doc.tape_width));
    *previous_width = doc.tape_width;
    TapeLogo shown;
    if (doc.logo && doc.logo_lines > 0) {
      if (logo->first != doc.logo)
        *logo = {doc.logo, LogoImage(*doc.logo)};
      shown.first = static_cast<int>(doc.logo_first);
      shown.lines = static_cast<int>(doc.logo_lines);
      shown.columns = sim::LogoColumns(doc.logo->width, doc.tape_width);
      shown.indent = (doc.tape_width - shown.columns) / 2;
      shown.image = logo->second;
    }
    QMetaObject::invokeMethod(
        target.data(),
        [target, lines, cut, shown] {
          if (target)
            target->AddDocument(lines, cut, shown);
        },
        Qt::QueuedConnection);
  });
}

}  // namespace tolvanet::ui
