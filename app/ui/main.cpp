// tolvanet: the desktop program.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>
#include <filesystem>
#include <iostream>

#include "app/app_state.h"
#include "app/config.h"
#include "app/language.h"
#include "app/profile.h"
#include "app/ui/demo_tape.h"
#include "app/ui/qt_platform.h"
#include "app/ui/tape_window.h"
#include "app/ui/windows.h"
#include "app/version.h"
#include "link/relay_link.h"
#include "sim/server.h"
#include "sim/terminal.h"

using namespace tolvanet;
using tolvanet::ui::Q;
using tolvanet::ui::QTr;

namespace {

constexpr char kDemoIdDev[] = "DEMO1";

// Starts the built-in simulated register on 127.0.0.1 (the relay port when it is free, else
// any free port) and a configuration of its own that points at it, so that "Подключить" works
// at once and the user's fpinit.ini is left alone.
std::unique_ptr<sim::Server> StartDemo(QTemporaryDir& dir, QString& note) {
  std::unique_ptr<sim::Server> server;
  for (std::uint16_t port : {kRelayPort, std::uint16_t{0}}) {
    sim::ServerOptions options;
    options.address = "127.0.0.1";
    options.port = port;
    server = std::make_unique<sim::Server>(options);
    server->AddRegister(kDemoIdDev);
    if (server->Start())
      break;
    server.reset();
  }
  if (!server)
    return nullptr;
  TheLink().timings().port = server->port();

  const std::string path = QDir(dir.path()).filePath("fpinit.ini").toStdString();
  CreateDefaultConfig(path);
  WritePrivateProfileString("Communication", "Address", "127.0.0.1", path);
  WritePrivateProfileString("Communication", "IDDEV", kDemoIdDev, path);
  WritePrivateProfileString("Communication", "UseIDdef", "1", path);
  TheAppState().config_path = path;
  note = ui::QTr(
             "Демонстрация: встроенный регистратор на 127.0.0.1:%1, ID_DEV %2. "
             "Нажмите «Подключить».")
             .arg(server->port())
             .arg(kDemoIdDev);
  return server;
}

// Starts the simulated bank card terminal and points the demo configuration at it: Terminal is
// its device, and ElJournal "КСЕФ" sends card payments of the receipt window to it.
std::unique_ptr<sim::Terminal> StartDemoTerminal(QString& note) {
  auto terminal = std::make_unique<sim::Terminal>();
  if (!terminal->Start()) {
    std::cerr << "tolvanet: the simulated card terminal could not be started: "
              << terminal->error_text() << "\n";
    return nullptr;
  }
  const std::string& path = TheAppState().config_path;
  WritePrivateProfileString("Communication", "Terminal", terminal->device_path(), path);
  WritePrivateProfileString("Priority", "ElJournal", "КСЕФ", path);
  note += ui::QTr(" Платёжный терминал: %1.").arg(QString::fromStdString(terminal->device_path()));
  return terminal;
}

// Loads the toolkit's own texts (standard buttons, file dialogs, --help's headings) in the
// interface's language from the toolkit's translations, when the system has them.
void LoadToolkitTexts(QCoreApplication& app, QTranslator& translator) {
  const std::string language = LanguageInUse();
  if (language == kOriginalLanguage)
    return;
  if (translator.load(QString("qtbase_") + Q(language),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&translator);
}

}  // namespace

int main(int argc, char** argv) {
  // The language comes first: --help is written in it.
  const std::string chosen_config = ScanOption(argc, argv, "--config").value_or("");
  StartLanguage(ScanOption(argc, argv, "--lang"),
                LocateConfig(chosen_config, CurrentConfigEnvironment()), std::cerr);
  QCommandLineParser parser;
  parser.setApplicationDescription(QTr("Сервисная программа для фискальных регистраторов"));
  parser.addHelpOption();
  QCommandLineOption demo("demo", QTr("Работать со встроенным симулятором регистратора."));
  QCommandLineOption port("port", QTr("Порт сервера-ретранслятора (по умолчанию 34951)."), "N");
  QCommandLineOption config(
      "config",
      QTr("Файл настроек (по умолчанию fpinit.ini текущей папки, если он там есть, иначе "
          "$XDG_CONFIG_HOME/tolvanet/fpinit.ini)."),
      "FILE");
  QCommandLineOption version("version", QTr("Показать версию и файл настроек."));
  QCommandLineOption lang("lang", QTr("Язык интерфейса: uk, en или ru (исходные тексты)."), "LANG");
  parser.addOption(demo);
  parser.addOption(port);
  parser.addOption(config);
  parser.addOption(version);
  parser.addOption(lang);
  {
    // The command line is read before the window system is reached, so that --help and
    // --version work in a terminal without a display.
    QCoreApplication probe(argc, argv);
    ReapplyLanguage();  // the toolkit has just set the locale from the environment again
    QCoreApplication::setApplicationName("tolvanet");
    QCoreApplication::setApplicationVersion(Version());
    QTranslator toolkit_texts;
    LoadToolkitTexts(probe, toolkit_texts);
    parser.process(probe);
  }
  const std::string config_path =
      LocateConfig(parser.value(config).toStdString(), CurrentConfigEnvironment());
  std::error_code ec;
  if (std::filesystem::is_directory(config_path, ec)) {
    std::cerr << "tolvanet: the configuration file is a folder: " << config_path << "\n";
    return 2;
  }
  if (parser.isSet(version)) {
    std::cout << VersionText("tolvanet", parser.isSet(demo) ? "temporary (--demo)" : config_path);
    return 0;
  }

  QApplication app(argc, argv);
  ReapplyLanguage();
  QTranslator toolkit_texts;
  LoadToolkitTexts(app, toolkit_texts);
  QApplication::setApplicationName("tolvanet");
  QApplication::setApplicationVersion(Version());
  QApplication::setApplicationDisplayName("Tolvanet");
  QApplication::setDesktopFileName("tolvanet");
  QApplication::setWindowIcon(QIcon::fromTheme("tolvanet"));
  TheAppState().config_path = config_path;

  if (parser.isSet(port)) {
    bool ok = false;
    const unsigned p = parser.value(port).toUInt(&ok);
    if (!ok || p == 0 || p > 65535) {
      std::cerr << "tolvanet: --port needs a number from 1 to 65535\n";
      return 2;
    }
    TheLink().timings().port = static_cast<std::uint16_t>(p);
  }

  ui::QtPlatform platform;
  SetPlatform(&platform);

  QTemporaryDir demo_dir;
  QString demo_note;
  std::unique_ptr<sim::Server> simulator;
  std::unique_ptr<sim::Terminal> demo_terminal;
  if (parser.isSet(demo)) {
    simulator = StartDemo(demo_dir, demo_note);
    if (!simulator) {
      std::cerr << "tolvanet: the built-in register could not be started\n";
      return 1;
    }
    demo_terminal = StartDemoTerminal(demo_note);
  }

  ui::Windows windows;
  if (simulator)
    windows.sales.LoadDemoArticles(demo_dir.path().toStdString());
  windows.Form1->show();
  if (!demo_note.isEmpty())
    windows.Form1->SetStatusLine(demo_note);
  // The demo register's paper, in a window of its own beside the main window.
  std::unique_ptr<ui::TapeWindow> tape;
  sim::Register* demo_register = simulator ? simulator->FindRegister(kDemoIdDev) : nullptr;
  if (demo_register) {
    tape = std::make_unique<ui::TapeWindow>();
    ui::ConnectTape(*tape, *demo_register);
    tape->AddOpener(windows.Form1.get());
    tape->ShowBeside(windows.Form1.get());
  }
  const int rc = app.exec();
  if (demo_register)
    demo_register->SetPrintSink({});
  SetPlatform(nullptr);
  return rc;
}
