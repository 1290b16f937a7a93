// The logo window on the built-in simulator: the limits at each opening, BMPs of every depth
// written by the toolkit and read by the window as the toolkit reads them (with the core's own
// reader, which the terminal tool uses too), the wiring to the programming loop, and Esc
// during it.
#include <QBuffer>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "app/ui/windows.h"
#include "link/commands.h"
#include "tests/app/ui/window_test_bench.h"
#include "tests/transfer/bmp_fixtures.h"
#include "transfer/ui/logo_dialog.h"

using namespace tolvanet;

namespace {

// A test picture: a black frame, a near-white pixel and a grey one on white; with `shades`,
// a row of 13 more greys (more colours than 4 bits can index).
QImage Sample(int width, int height, bool shades = false) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int x = 0; x < width; ++x) {
    image.setPixel(x, 0, qRgb(0, 0, 0));
    image.setPixel(x, height - 1, qRgb(0, 0, 0));
  }
  image.setPixel(2, 2, qRgb(255, 255, 254));
  image.setPixel(3, 2, qRgb(128, 128, 128));
  for (int x = 0; shades && x < std::min(width, 13); ++x)
    image.setPixel(x, 1, qRgb(x * 10 + 5, x * 10 + 5, x * 10 + 5));
  return image;
}

std::string BmpBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes.toStdString();
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// A 24-bit file widened to 32 bits per pixel (the toolkit writes no 32-bit files itself).
std::string To32Bits(const std::string& bmp) {
  const std::uint32_t offset = U32(bmp, 10);
  const auto width = static_cast<std::size_t>(U32(bmp, 18));
  const auto height = static_cast<std::size_t>(U32(bmp, 22));
  const std::size_t stride24 = (width * 24 + 31) / 32 * 4;
  std::string out = bmp.substr(0, offset);
  for (std::size_t row = 0; row < height; ++row) {
    for (std::size_t x = 0; x < width; ++x)
      out += bmp.substr(offset + row * stride24 + x * 3, 3) + '\0';
  }
  out[28] = 32;
  const std::uint32_t size = static_cast<std::uint32_t>(out.size());
  for (int i = 0; i < 4; ++i) {
    out[2 + static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    out[34 + static_cast<std::size_t>(i)] = static_cast<char>(((size - offset) >> (8 * i)) & 0xFF);
  }
  return out;
}

// The same picture stored top-down: negative height, rows in reading order.
std::string TopDown(const std::string& bmp) {
  const std::uint32_t offset = U32(bmp, 10);
  const auto width = static_cast<std::int32_t>(U32(bmp, 18));
  const auto height = static_cast<std::int32_t>(U32(bmp, 22));
  const int bits = static_cast<unsigned char>(bmp[28]) | static_cast<unsigned char>(bmp[29]) << 8;
  const std::size_t stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
  std::string out = bmp;
  const std::int32_t negative = -height;
  for (int i = 0; i < 4; ++i)
    out[22 + static_cast<std::size_t>(i)] = static_cast<char>((negative >> (8 * i)) & 0xFF);
  for (std::int32_t row = 0; row < height; ++row) {
    out.replace(offset + static_cast<std::size_t>(row) * stride, stride,
                bmp.substr(offset + static_cast<std::size_t>(height - 1 - row) * stride, stride));
  }
  return out;
}

// The toolkit's pixels (colour without alpha), row by row from the top.
std::vector<std::uint32_t> ToolkitPixels(const QImage& image) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
  }
  return pixels;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

class LogoDialogTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;
  ui::TForm6* f_ = nullptr;

  void Open(const std::function<void()>& body) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      body();
      seen = true;
      if (f_->isVisible())
        f_->Button1->click();
    });
    bench_.windows->Form1->N18->trigger();
    QVERIFY(seen);
  }
  std::vector<std::string> Texts(int code) const {
    std::vector<std::string> texts;
    for (const auto& r : bench_.reg->requests()) {
      if (r.code == code)
        texts.push_back(r.text);
    }
    return texts;
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    f_ = bench_.windows->transfer.Form6;
  }
  void cleanup() { bench_.TearDown(); }

  // Every depth and row order gives the toolkit's pixels, in the window and in the core reader.
  void bmpOfEveryDepth_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("top_down");
    const struct {
      const char* name;
      QImage::Format format;
      int bits;
    } depths[] = {
        {"1-bit", QImage::Format_Mono, 1},     {"4-bit", QImage::Format_Indexed8, 4},
        {"8-bit", QImage::Format_Indexed8, 8}, {"24-bit", QImage::Format_RGB32, 24},
        {"32-bit", QImage::Format_RGB32, 32},
    };
    for (const auto& d : depths) {
      for (bool top_down : {false, true}) {
        QTest::newRow((std::string(d.name) + (top_down ? " top-down" : "")).c_str())
            << static_cast<int>(d.format) << d.bits << top_down;
      }
    }
  }
  void bmpOfEveryDepth() {
    QFETCH(int, format);
    QFETCH(int, bits);
    QFETCH(bool, top_down);
    QImage image = Sample(13, 5, bits == 8).convertToFormat(static_cast<QImage::Format>(format));
    if (bits == 4)  // a small palette: the writer takes 4 bits for up to 16 colours
      image.setColorCount(std::min(image.colorCount(), 16));
    std::string bmp = BmpBytes(image);
    if (bits == 32 && static_cast<unsigned char>(bmp[28]) == 24)
      bmp = To32Bits(bmp);
    const int written = static_cast<unsigned char>(bmp[28]);
    if (written != bits)
      QSKIP(qPrintable(QString("the toolkit writes this picture with %1 bits").arg(written)));
    if (top_down)
      bmp = TopDown(bmp);
    const std::string path = bench_.Path("logo.bmp");
    WriteFile(path, bmp);

    const std::vector<std::uint32_t> expected = ToolkitPixels(image);
    bench_.platform.files.push_back(path);
    Open([&] { f_->Button2->click(); });
    QCOMPARE(f_->picture().width, 13);
    QVERIFY(f_->picture().pixels == expected);
    std::string error;
    const auto core = transfer::ReadBmp(path, &error);
    QVERIFY2(core, error.c_str());
    QVERIFY(core->pixels == expected);
  }

  // The window reads a file as the terminal tool does: a run-length compressed file (which the
  // toolkit would take) is refused with the tool's reason, and a 5-6-5 file gives the same
  // chunk as there.
  void sameFileSameResultAsTheTerminalTool() {
    const std::string compressed = bench_.Path("rle.bmp");
    const std::string masks = bench_.Path("565.bmp");
    WriteFile(compressed, testing::RunLengthBmp());
    WriteFile(masks, testing::Masks565Bmp());
    std::string reason;
    QVERIFY(!transfer::ReadBmp(compressed, &reason));
    bench_.platform.files = {compressed, masks};
    Open([&] {
      f_->Button2->click();
      QVERIFY(!f_->Button3->isEnabled());
      QCOMPARE(f_->Label9->text(), QString());
      QCOMPARE(bench_.platform.messages.back(),
               "Не удалось прочитать рисунок BMP: " + compressed + " (" + reason + ")");
      f_->Button2->click();
      f_->Button3->click();
    });
    QCOMPARE(Texts(cmd::kSetUserLogo),
             std::vector<std::string>{"406172;0;" + testing::Masks565Chunk() + ";"});
    QCOMPARE(Texts(cmd::kSetLogoParams), std::vector<std::string>{"406172;16;2;"});
  }

  // At 192 pixels the 4800-byte memory holds 200 rows, twice the largest height shown.
  void narrowerLogoMayBeTaller() {
    const std::string path = bench_.Path("logo.bmp");
    WriteFile(path, BmpBytes(Sample(192, 240)));
    bench_.platform.files.push_back(path);
    Open([&] {
      QCOMPARE(f_->Label6->text(), QString("100"));
      f_->Button2->click();
      QCOMPARE(f_->Edit3->text(), QString("100"));
      f_->Edit3->setText("200");
      f_->Button3->click();
    });
    QCOMPARE(bench_.platform.messages.back(), std::string("Успешно!"));
    QCOMPARE(Texts(cmd::kSetUserLogo).size(), std::size_t{200});
    QCOMPARE(Texts(cmd::kSetLogoParams), std::vector<std::string>{"406172;192;200;"});
  }

  void opensAndProgramsALogo() {
    const std::string path = bench_.Path("logo.bmp");
    WriteFile(path, BmpBytes(Sample(16, 2)));
    bench_.platform.files.push_back(path);
    Open([&] {
      QCOMPARE(f_->Label5->text(), QString("384"));
      QCOMPARE(f_->Label6->text(), QString("100"));
      QVERIFY(!f_->Button3->isEnabled());
      f_->Button2->click();
      QVERIFY(f_->Button3->isEnabled());
      QCOMPARE(f_->Label9->text(), QString("16"));
      QCOMPARE(f_->Edit2->text(), QString("16"));
      QCOMPARE(f_->Edit3->text(), QString("2"));
      f_->Button3->click();
    });
    QCOMPARE(Texts(cmd::kSetUserLogo),
             std::vector<std::string>{"406172;0;FFFFFFFF" + std::string(40, '0') + ";"});
    QCOMPARE(Texts(cmd::kSetLogoParams), std::vector<std::string>{"406172;16;2;"});
    QCOMPARE(bench_.platform.messages.back(), std::string("Успешно!"));
    QCOMPARE(bench_.platform.file_dialogs.back().filter, std::string("BMP файл|*.BMP"));
  }

  void unreadableFileKeepsThePicture() {
    const std::string good = bench_.Path("logo.bmp");
    const std::string bad = bench_.Path("bad.bmp");
    WriteFile(good, BmpBytes(Sample(16, 2)));
    WriteFile(bad, "BM not a picture");
    bench_.platform.files = {good, bad};
    Open([&] {
      f_->Button2->click();
      f_->Edit2->setText("8");
      f_->Button2->click();
    });
    QCOMPARE(f_->picture().width, 16);
    QCOMPARE(f_->Label9->text(), QString("16"));
    QCOMPARE(f_->Edit2->text(), QString("8"));
    QVERIFY(f_->Button3->isEnabled());
    QVERIFY(bench_.platform.messages.back().find("bad.bmp") != std::string::npos);
  }

  void unknownLimitsRefuseProgramming() {
    bench_.reg->ChangeState([](sim::RegisterState& s) { s.logo_max_width = 0; });
    const std::string path = bench_.Path("logo.bmp");
    WriteFile(path, BmpBytes(Sample(16, 2)));
    bench_.platform.files.push_back(path);
    Open([&] {
      QCOMPARE(f_->Label5->text(), QString("неизвестно"));
      f_->Button2->click();
      f_->Button3->click();
    });
    QVERIFY(Texts(cmd::kSetUserLogo).empty());
    QCOMPARE(
        bench_.platform.messages.back(),
        std::string("Размеры логотипа регистратора неизвестны - программирование невозможно."));
  }

  void escDuringProgrammingStopsAfterAChunk() {
    const std::string path = bench_.Path("logo.bmp");
    WriteFile(path, BmpBytes(Sample(200, 20)));  // 500 bytes: 21 chunks
    bench_.platform.files.push_back(path);
    bool pressed = false;
    bench_.platform.on_process_events = [&] {
      if (pressed || Texts(cmd::kSetUserLogo).size() < 3)
        return;
      pressed = true;
      QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(f_, &esc);
    };
    Open([&] {
      f_->Button2->click();
      f_->Button3->click();
      QVERIFY(f_->isVisible());  // closed only with "Закрыть"
    });
    QVERIFY(pressed);
    QVERIFY(Texts(cmd::kSetUserLogo).size() < 21);
    QVERIFY(Texts(cmd::kSetLogoParams).empty());
  }
};

QTEST_MAIN(LogoDialogTest)
#include "logo_dialog_test.moc"
