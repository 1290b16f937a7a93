#include "script/interpreter.h"

#include <charconv>
#include <chrono>
#include <climits>

#include "link/codepage.h"
#include "link/hex.h"
#include "link/scoped_flag.h"
#include "link/translate.h"

namespace tolvanet::script {

namespace {

// The messages of the runner.
constexpr const char* kEndOfFile = TrNoop("Конец файла!");
constexpr const char* kDeclPlacement = TrNoop("Ошибка - неверное расположение описания данных.");
constexpr const char* kDeclareBegTwice =
    TrNoop("Ошибка - ошибка в описаниях. DeclareBeg уже был ранее.");
constexpr const char* kOutsideDecl =
    TrNoop("Ошибка - ошибка в описаниях. Оператор New расположен вне секции описаний.");
constexpr const char* kIfOutsideDecl =
    TrNoop("Ошибка - ошибка в If-Then. Оператор New расположен вне секции описаний.");
constexpr const char* kDeclareEndPlace =
    TrNoop("Ошибка - ошибка в описаниях. Ошибочное расположение DeclareEnd.");
constexpr const char* kSetSection =
    TrNoop("Ошибка - ошибка в описаниях. Секция определений неверна.");
constexpr const char* kSetSyntax = TrNoop("Ошибка - ошибка в операторе Set.");
constexpr const char* kSetUnknown = TrNoop("Ошибка - присвоение несуществующей переменной.");
constexpr const char* kPrintState = TrNoop("Ошибка - ошибка в описаниях.");
constexpr const char* kIfOperation = TrNoop("Некорректная операция в операторе If - ошибка!");
constexpr const char* kWhileOperation = TrNoop("Некорректная операция в операторе While - ошибка!");
constexpr const char* kBadOperand = TrNoop("Ошибка переменной!");
constexpr const char* kFirstParam = TrNoop("Ошибка первого параметра!");
constexpr const char* kSecondParam = TrNoop("Ошибка второго параметра!");
constexpr const char* kBadOperation = TrNoop("Ошибка операции!");
constexpr const char* kBadResult = TrNoop("Ошибка результата операции!");
constexpr const char* kTimeout = TrNoop("Ошибка выполнения команды. Таймаут");
constexpr const char* kCommandError = TrNoop("Ошибка выполнения команды");
constexpr const char* kChecksum = TrNoop("Неверная контрольная сумма");
constexpr const char* kBadCode = TrNoop("Неверный код команды!");
constexpr const char* kComment = TrNoop("Комментарий:: ");

bool IsSpace(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back()))
    s.remove_suffix(1);
  return s;
}

// Characters from `from` on (1-based), or nothing when the text is shorter.
std::string_view From(std::string_view s, std::size_t from) {
  return from - 1 < s.size() ? s.substr(from - 1) : std::string_view();
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool AllDigits(std::string_view s) {
  if (s.empty())
    return false;
  for (char c : s) {
    if (c < '0' || c > '9')
      return false;
  }
  return true;
}

bool Quoted(std::string_view s) {
  return s.size() >= 2 && s.front() == '"' && s.back() == '"';
}

// A whole number: an optional sign and decimal digits, nothing else.
std::optional<long long> ToWhole(std::string_view s) {
  if (!s.empty() && s.front() == '+')
    s.remove_prefix(1);
  if (s.empty() || s.front() == '+')
    return std::nullopt;
  long long value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size())
    return std::nullopt;
  return value;
}

std::optional<double> ToReal(std::string_view s) {
  if (!s.empty() && s.front() == '+')
    s.remove_prefix(1);
  if (s.empty())
    return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size())
    return std::nullopt;
  return value;
}

// The shortest general form with up to 15 significant digits: 2.5, 0.333333333333333, 1E20.
std::string FormatReal(double value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (ec != std::errc())
    return "0";
  std::string out(buf, end);
  std::size_t e = out.find('e');
  if (e != std::string::npos) {
    std::string mantissa = out.substr(0, e);
    std::string exponent = out.substr(e + 1);
    bool negative = !exponent.empty() && exponent.front() == '-';
    if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
      exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent.front() == '0')
      exponent.erase(0, 1);
    out = mantissa + "E" + (negative ? "-" : "") + exponent;
  }
  return out;
}

}  // namespace

Interpreter::Interpreter(Engine& engine, ScriptHost& host) : engine_(engine), host_(host) {}

void Interpreter::SetFile(std::string path) {
  file_ = std::move(path);
  line_count_ = 0;
  variables_.clear();
}

// ---------------------------------------------------------------------------------------------
// Runs.

bool Interpreter::BeginRun() {
  stop_ = false;
  error_.clear();
  outcome_ = RunOutcome::kEndOfFile;
  return OpenSource();
}

bool Interpreter::OpenSource() {
  if (file_.empty())
    return Fail(Tr("Файл скрипта не выбран."));
  if (!source_.Load(file_))
    return Fail(TrArgs(Tr("Не удалось открыть файл скрипта \"%1\"."), {file_}));
  return true;
}

void Interpreter::SkipLines(int count) {
  std::string raw;
  for (int i = 0; i < count && source_.ReadLine(raw); ++i) {
  }
}

void Interpreter::SetLineCount(int count) {
  line_count_ = count;
  host_.LineCountChanged(count);
}

void Interpreter::StopBeforeLine() {
  // The line just read was not executed: the count goes back to the last line that was, so
  // that "Продолжить" starts with the line that was read.
  SetLineCount(line_count_ - 1);
}

RunOutcome Interpreter::EndOfFile() {
  host_.ShowMessage(Tr(kEndOfFile));
  SetLineCount(0);
  return RunOutcome::kEndOfFile;
}

void Interpreter::ResetRun() {
  SetLineCount(0);
  search_.reset();
  decl_ = Decl::kNone;
  just_closed_ = false;
  prefix_.clear();
  variables_.clear();
  ifs_.clear();
  whiles_.clear();
  if_stack_.clear();
  while_stack_.clear();
}

void Interpreter::CarryOutSearch() {
  // Reads on from here to the first line holding the label; that line is read next.
  const std::string label = *search_;
  search_.reset();
  std::string raw;
  std::size_t start = source_.position();
  while (source_.ReadLine(raw)) {
    if (raw.find(label) != std::string::npos) {
      source_.Seek(start);
      break;
    }
    start = source_.position();
  }
}

RunOutcome Interpreter::RunLines(const RunMode& mode) {
  if (running_) {
    host_.ShowMessage(Tr("Скрипт уже выполняется."));
    return RunOutcome::kRefused;
  }
  ScopedFlag running(running_);
  if (mode.language) {
    random_.seed(fixed_seed_ ? *fixed_seed_
                             : static_cast<std::uint32_t>(
                                   std::chrono::system_clock::now().time_since_epoch().count()));
  }
  if (!BeginRun())
    return outcome_;
  if (mode.language)
    ResetRun();
  else
    SkipLines(line_count_);
  // A run repaints the window whichever way it ends; a step only after a command line.
  bool repaint = !mode.single_line;
  std::string raw;
  RunOutcome result = RunOutcome::kEndOfFile;
  while (true) {
    if (mode.language) {
      if (search_)
        CarryOutSearch();
      line_pos_ = source_.position();
    }
    if (!source_.ReadLine(raw)) {
      result = EndOfFile();
      break;
    }
    SetLineCount(line_count_ + 1);
    if (!mode.single_line) {
      host_.ProcessPendingMessages();
      if (stop_) {
        StopBeforeLine();
        result = RunOutcome::kStopped;
        break;
      }
    }
    const std::string_view line = mode.language ? PrepareLine(raw) : StripLineEnd(raw);
    if (line.empty())
      continue;
    bool go_on = true;
    if (mode.language) {
      go_on = Execute(line);
    } else if (line.front() == '+') {
      go_on = Shown(line.substr(1));
    } else if (line.front() != ';') {
      go_on = CommandLine(line);
      repaint = repaint || go_on;
    }
    if (!go_on) {
      result = outcome_;
      break;
    }
    if (mode.single_line) {
      result = RunOutcome::kStepDone;
      break;
    }
  }
  if (repaint)
    host_.Repaint();
  return result;
}

RunOutcome Interpreter::Run() {
  return RunLines({.language = true, .single_line = false});
}

RunOutcome Interpreter::Continue() {
  return RunLines({.language = false, .single_line = false});
}

RunOutcome Interpreter::Step() {
  return RunLines({.language = false, .single_line = true});
}

// ---------------------------------------------------------------------------------------------
// Lines.

bool Interpreter::Fail(const std::string& message) {
  error_ = message;
  outcome_ = RunOutcome::kError;
  host_.ShowMessage(message);
  return false;
}

bool Interpreter::FailWithLine(const std::string& message, std::string_view line) {
  Fail(message);
  host_.AddMessageLine(std::string(line));
  return false;
}

bool Interpreter::ConversionError(std::string_view text) {
  return Fail(TrArgs(Tr("Ошибка преобразования - \"%1\" не является числом."), {FromCp1251(text)}));
}

bool Interpreter::Shown(std::string_view body) {
  if (!host_.QuietOutput())
    host_.AddMessageLine(ToCp1251(Tr(kComment)) + std::string(body) + "!!!");
  return true;
}

bool Interpreter::Execute(std::string_view line) {
  const char lead = line.front();
  const std::string_view body = line.substr(1);
  if (lead == '%') {
    if (StartsWith(body, "DeclareBeg"))
      return DeclareBeg(body);
    if (StartsWith(body, "New"))
      return New(body);
    if (StartsWith(body, "DeclareEnd"))
      return DeclareEnd();
    if (StartsWith(body, "Delay"))
      return Delay(body);
    if (StartsWith(body, "Set"))
      return Set(body);
  }
  if (StartsWith(body, "While"))
    return While(body, line);
  if (StartsWith(body, "EndWhile"))
    return EndWhile();
  if (StartsWith(body, "If"))
    return If(body, line);
  if (StartsWith(body, "Then"))
    return Then();
  if (StartsWith(body, "Else"))
    return Else();
  if (StartsWith(body, "EndIf"))
    return EndIf();
  if (StartsWith(body, "RunCommand"))
    return RunCommand(body, line);
  if (StartsWith(body, "Oper"))
    return Oper(body, line);
  if (StartsWith(body, "Print"))
    return Print(body);
  if (lead == ';')
    return true;
  if (lead == '+')
    return Shown(body);
  return CommandLine(line);
}

bool Interpreter::CheckReply(const ReplyRecord& reply) {
  if (!engine_.refusal().empty())
    return Fail(engine_.refusal());
  if (reply.NoAnswer())
    return Fail(Tr(kTimeout));
  if (reply.checksum_error != 0)
    return Fail(Tr(kChecksum));
  return true;
}

bool Interpreter::CommandLine(std::string_view line) {
  if (line.size() < 9) {
    return Fail(
        TrArgs(Tr("Ошибка - строка команды короче 9 символов: \"%1\"."), {FromCp1251(line)}));
  }
  const int hi = HexDigitValue(line[0]);
  const int lo = HexDigitValue(line[1]);
  host_.CommandFields(std::string(line.substr(0, 2)), std::string(line.substr(2, 6)),
                      std::string(line.substr(9)));
  if (hi < 0 || lo < 0)
    return Fail(Tr(kBadCode));
  host_.ProcessPendingMessages();
  const ReplyRecord& reply = engine_.ExecuteCommand(hi * 16 + lo, line.substr(2));
  host_.ReplyReceived(reply);
  if (!CheckReply(reply))
    return false;
  if (reply.error_code != "0000") {
    host_.ReplyFields(reply.error_code, StatusText(reply));
    return Fail(Tr(kCommandError));
  }
  if (!host_.QuietOutput()) {
    host_.AddMessageLine("PC: " + reply.sent_frame);
    host_.AddMessageLine("FP: " + reply.raw_answer);
  }
  host_.ReplyFields(reply.error_code, StatusText(reply));
  host_.ProcessPendingMessages();
  if (stop_) {
    outcome_ = RunOutcome::kStopped;
    return false;
  }
  host_.Repaint();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Declarations and assignment.

int Interpreter::FindVariable(std::string_view name) const {
  for (std::size_t i = 0; i < variables_.size(); ++i) {
    if (variables_[i].name == name)
      return static_cast<int>(i);
  }
  return -1;
}

bool Interpreter::DeclareBeg(std::string_view body) {
  if (just_closed_)
    return Fail(Tr(kDeclPlacement));
  if (decl_ != Decl::kNone)
    return Fail(Tr(kDeclareBegTwice));
  decl_ = Decl::kOpen;
  prefix_ = std::string(Trim(From(body, 11)));
  return true;
}

bool Interpreter::New(std::string_view body) {
  if (just_closed_)
    return Fail(Tr(kDeclPlacement));
  if (decl_ != Decl::kOpen && decl_ != Decl::kDeclaring)
    return Fail(Tr(kOutsideDecl));
  if (variables_.size() >= kMaxVariables) {
    return Fail(TrArgs(Tr("Ошибка - больше %1 переменных."), {std::to_string(kMaxVariables)}));
  }
  variables_.push_back({prefix_ + std::string(Trim(From(body, 4))), std::string()});
  host_.VariableAdded(static_cast<int>(variables_.size()), variables_.back().name);
  decl_ = Decl::kDeclaring;
  return true;
}

bool Interpreter::DeclareEnd() {
  if (just_closed_)
    return Fail(Tr(kDeclPlacement));
  if (decl_ != Decl::kOpen && decl_ != Decl::kDeclaring)
    return Fail(Tr(kDeclareEndPlace));
  decl_ = Decl::kClosed;
  just_closed_ = true;
  return true;
}

bool Interpreter::Delay(std::string_view body) {
  std::string_view arg = Trim(From(body, 7));
  auto ms = ToWhole(arg);
  if (!ms)
    return ConversionError(arg);
  host_.Pause(*ms <= 0 ? 0 : *ms > INT_MAX ? INT_MAX : static_cast<int>(*ms));
  return true;
}

bool Interpreter::RetField(std::string_view text, std::string* value, bool* ok) {
  *ok = true;
  if (!StartsWith(text, "%Ret") || !AllDigits(text.substr(4)))
    return false;
  auto n = ToWhole(text.substr(4));
  if (!n || *n >= kMaxFields) {
    *ok = false;
    Fail(TrArgs(Tr("Ошибка - номер поля ответа вне 0..%1: %2."),
                {std::to_string(kMaxFields - 1), FromCp1251(text)}));
    return true;
  }
  *value = engine_.reply().Field(static_cast<int>(*n));
  return true;
}

bool Interpreter::Set(std::string_view body) {
  if (decl_ != Decl::kClosed)
    return Fail(Tr(kSetSection));
  const std::size_t eq = body.find('=');
  if (eq == std::string_view::npos || body.find('=', eq + 1) != std::string_view::npos) {
    return Fail(Tr(kSetSyntax));
  }
  std::string_view name = eq > 4 ? Trim(body.substr(4, eq - 4)) : std::string_view();
  const std::string_view text = Trim(body.substr(eq + 1));
  const int target = FindVariable(name);
  if (target < 0)
    return Fail(Tr(kSetUnknown));
  std::string value;
  bool ok = true;
  if (Quoted(text)) {
    value = std::string(text.substr(1, text.size() - 2));
  } else if (RetField(text, &value, &ok)) {
    if (!ok)
      return false;
  } else if (int source = FindVariable(text); source >= 0) {
    value = variables_[source].value;
  } else {
    return true;  // neither a text, a field nor a variable: the variable keeps its value
  }
  variables_[target].value = value;
  host_.VariableChanged(target + 1, variables_[target].name, value);
  return true;
}

bool Interpreter::Print(std::string_view body) {
  if (InDeclarationsOrNone())
    return Fail(Tr(kPrintState));
  const std::string_view arg = Trim(From(body, 6));
  std::string field;
  bool ok = true;
  if (RetField(arg, &field, &ok)) {
    if (!ok)
      return false;
    host_.AddMessageLine(";" + std::string(arg) + "=" + field);
  }
  for (const auto& v : variables_) {
    if (v.name == arg)
      host_.AddMessageLine(";" + v.name + "=" + v.value);
  }
  decl_ = Decl::kClosed;
  just_closed_ = false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Conditions, branches and loops.

std::optional<Interpreter::Condition> Interpreter::ParseCondition(std::string_view text, bool is_if,
                                                                  std::string_view line) {
  static constexpr std::pair<std::string_view, Op> kOperators[] = {{"<=", Op::kLessEqual},
                                                                   {"==", Op::kEqual},
                                                                   {">=", Op::kGreaterEqual},
                                                                   {"<", Op::kLess},
                                                                   {">", Op::kGreater}};
  const std::string_view inner =
      text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view();
  Condition c;
  std::size_t at = std::string_view::npos;
  std::size_t length = 0;
  for (const auto& [symbol, op] : kOperators) {
    at = inner.find(symbol);
    if (at != std::string_view::npos) {
      c.op = op;
      length = symbol.size();
      break;
    }
  }
  if (at == std::string_view::npos) {
    FailWithLine(Tr(is_if ? kIfOperation : kWhileOperation), line);
    return std::nullopt;
  }
  for (auto [operand, part] : {std::pair{&c.left, Trim(inner.substr(0, at))},
                               std::pair{&c.right, Trim(inner.substr(at + length))}}) {
    operand->variable = FindVariable(part);
    if (operand->variable < 0) {
      if (!AllDigits(part)) {
        FailWithLine(Tr(kBadOperand), line);
        return std::nullopt;
      }
      operand->literal = std::string(part);
    }
  }
  return c;
}

std::optional<bool> Interpreter::Evaluate(const Condition& c) {
  long long values[2] = {0, 0};
  const Operand* operands[2] = {&c.left, &c.right};
  for (int i = 0; i < 2; ++i) {
    const std::string& text =
        operands[i]->variable >= 0 ? variables_[operands[i]->variable].value : operands[i]->literal;
    auto v = ToWhole(text);
    if (!v) {
      ConversionError(text);
      return std::nullopt;
    }
    values[i] = *v;
  }
  switch (c.op) {
    case Op::kLess:
      return values[0] < values[1];
    case Op::kLessEqual:
      return values[0] <= values[1];
    case Op::kEqual:
      return values[0] == values[1];
    case Op::kGreater:
      return values[0] > values[1];
    case Op::kGreaterEqual:
      return values[0] >= values[1];
  }
  return false;
}

bool Interpreter::If(std::string_view body, std::string_view line) {
  if (InDeclarationsOrNone())
    return Fail(Tr(kIfOutsideDecl));
  just_closed_ = false;
  int index = -1;
  for (std::size_t i = 0; i < ifs_.size(); ++i) {
    if (ifs_[i].position == line_pos_)
      index = static_cast<int>(i);
  }
  if (index >= 0) {
    if_stack_.resize(ifs_[index].depth, -1);
    if_stack_.push_back(index);
  } else {
    if (ifs_.size() >= kMaxRecords) {
      return Fail(TrArgs(Tr("Ошибка - больше %1 операторов If."), {std::to_string(kMaxRecords)}));
    }
    if (if_stack_.size() >= kMaxDepth) {
      return Fail(TrArgs(Tr("Ошибка - вложенность If глубже %1."), {std::to_string(kMaxDepth)}));
    }
    IfRecord record;
    record.position = line_pos_;
    record.depth = if_stack_.size();
    ifs_.push_back(record);
    index = static_cast<int>(ifs_.size() - 1);
    if_stack_.push_back(index);
    auto c = ParseCondition(Trim(From(body, 3)), true, line);
    if (!c)
      return false;
    ifs_[index].condition = *c;
  }
  IfRecord& record = ifs_[index];
  auto result = Evaluate(record.condition);
  if (!result)
    return false;
  record.result = *result;
  if (record.result) {
    if (record.then_pos)
      source_.Seek(*record.then_pos);
  } else if (record.else_pos) {
    source_.Seek(*record.else_pos);
  } else {
    search_ = "%Else";
  }
  return true;
}

bool Interpreter::Then() {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  just_closed_ = false;
  if (if_stack_.empty() || if_stack_.back() < 0)
    return Fail(Tr("Ошибка - оператор Then без If."));
  IfRecord& record = ifs_[if_stack_.back()];
  record.then_seen = true;
  if (!record.then_pos)
    record.then_pos = line_pos_;
  if (!record.result)
    search_ = "%Else";
  return true;
}

bool Interpreter::Else() {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  just_closed_ = false;
  if (if_stack_.empty() || if_stack_.back() < 0)
    return Fail(Tr("Ошибка - оператор Else без If."));
  IfRecord& record = ifs_[if_stack_.back()];
  record.else_seen = true;
  if (!record.else_pos)
    record.else_pos = line_pos_;
  if (record.result)
    search_ = "%EndIf";
  return true;
}

bool Interpreter::EndIf() {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  just_closed_ = false;
  if (if_stack_.empty() || if_stack_.back() < 0)
    return Fail(Tr("Ошибка - оператор EndIf без If."));
  IfRecord& record = ifs_[if_stack_.back()];
  if (!record.endif_pos)
    record.endif_pos = line_pos_;
  if_stack_.pop_back();
  return true;
}

bool Interpreter::While(std::string_view body, std::string_view line) {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  just_closed_ = false;
  int index = -1;
  for (std::size_t i = 0; i < whiles_.size(); ++i) {
    if (whiles_[i].position == line_pos_)
      index = static_cast<int>(i);
  }
  const std::string depth_error =
      TrArgs(Tr("Ошибка - вложенность While глубже %1."), {std::to_string(kMaxDepth)});
  if (index >= 0) {
    if (whiles_[index].status == WhileStatus::kFinished) {
      if (while_stack_.size() >= kMaxDepth)
        return Fail(depth_error);
      while_stack_.push_back(index);
    }
  } else {
    if (whiles_.size() >= kMaxRecords) {
      return Fail(
          TrArgs(Tr("Ошибка - больше %1 операторов While."), {std::to_string(kMaxRecords)}));
    }
    if (while_stack_.size() >= kMaxDepth)
      return Fail(depth_error);
    WhileRecord record;
    record.position = line_pos_;
    whiles_.push_back(record);
    index = static_cast<int>(whiles_.size() - 1);
    while_stack_.push_back(index);
    auto c = ParseCondition(Trim(From(body, 6)), false, line);
    if (!c)
      return false;
    whiles_[index].condition = *c;
  }
  WhileRecord& record = whiles_[index];
  auto result = Evaluate(record.condition);
  if (!result)
    return false;
  record.result = *result;
  if (!record.result && record.end_pos)
    source_.Seek(*record.end_pos);
  return true;
}

bool Interpreter::EndWhile() {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  just_closed_ = false;
  if (while_stack_.empty())
    return Fail(Tr("Ошибка - оператор EndWhile без While."));
  WhileRecord& record = whiles_[while_stack_.back()];
  if (!record.end_pos)
    record.end_pos = line_pos_;
  if (record.result) {
    record.status = WhileStatus::kLooping;
    source_.Seek(record.position);
  } else {
    record.status = WhileStatus::kFinished;
    while_stack_.pop_back();
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Command calls and operations.

std::optional<std::string> Interpreter::Resolve(std::string_view arg, bool* quoted) const {
  if (quoted)
    *quoted = false;
  if (int v = FindVariable(arg); v >= 0)
    return variables_[v].value;
  if (AllDigits(arg))
    return std::string(arg);
  if (Quoted(arg)) {
    if (quoted)
      *quoted = true;
    return std::string(arg.substr(1, arg.size() - 2));
  }
  return std::nullopt;
}

bool Interpreter::RunCommand(std::string_view body, std::string_view line) {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  const std::string_view text = Trim(From(body, 11));
  const std::size_t open = text.find('(');
  const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
  std::size_t code_end = text.find(',', start);
  if (code_end == std::string_view::npos)
    code_end = text.find(')', start);
  if (code_end == std::string_view::npos)
    code_end = text.size();
  const std::string_view code_text = Trim(text.substr(start, code_end - start));
  auto code = ToWhole(code_text);
  if (!code)
    return ConversionError(code_text);
  if (*code < 0 || *code > 255) {
    return Fail(TrArgs(Tr("Ошибка - код команды вне 0..255: %1."), {FromCp1251(code_text)}));
  }
  std::string command;
  std::size_t count = 0;
  std::string_view rest = text.substr(code_end);
  for (std::size_t comma = rest.find(','); comma != std::string_view::npos;
       comma = rest.find(',')) {
    rest = Trim(rest.substr(comma + 1));
    std::size_t stop = rest.find(',');
    if (stop == std::string_view::npos)
      stop = rest.find(')');
    const std::string_view arg = Trim(rest.substr(0, stop));
    if (++count > kMaxArguments) {
      return Fail(TrArgs(Tr("Ошибка - больше %1 параметров в операторе RunCommand."),
                         {std::to_string(kMaxArguments)}));
    }
    auto value = Resolve(arg, nullptr);
    if (!value)
      return FailWithLine(Tr(kFirstParam), line);
    command += *value;
    command += ';';
  }
  const ReplyRecord& reply = engine_.ExecuteCommand(static_cast<int>(*code), command);
  host_.ReplyReceived(reply);
  if (!CheckReply(reply))
    return false;
  just_closed_ = false;
  return true;
}

bool Interpreter::Oper(std::string_view body, std::string_view line) {
  if (InDeclarationsOrNone())
    return Fail(Tr(kOutsideDecl));
  const std::string_view text = Trim(From(body, 5));
  const std::size_t open = text.find('(');
  std::string_view rest = text.substr(open == std::string_view::npos ? 0 : open + 1);
  auto next = [&rest](char until) {
    std::size_t stop = rest.find(until);
    std::string_view part = Trim(rest.substr(0, stop));
    rest = stop == std::string_view::npos ? std::string_view() : rest.substr(stop + 1);
    return part;
  };
  const std::string_view a_text = next(',');
  const std::string_view b_text = next(',');
  const std::string_view op_text = next(',');
  const std::string_view result_text = next(')');

  bool a_quoted = false, b_quoted = false;
  auto a = Resolve(a_text, &a_quoted);
  if (!a)
    return FailWithLine(Tr(kFirstParam), line);
  auto b = Resolve(b_text, &b_quoted);
  if (!b)
    return FailWithLine(Tr(kSecondParam), line);
  if (!AllDigits(op_text))
    return FailWithLine(Tr(kBadOperation), line);
  const int target = FindVariable(result_text);
  if (target < 0)
    return FailWithLine(Tr(kBadResult), line);
  const auto op_value = ToWhole(op_text);
  const long long op = op_value ? *op_value : -1;
  if ((a_quoted || b_quoted) && ((op >= 0 && op <= 4) || op == 6)) {
    return FailWithLine(Tr(kBadOperation), line);
  }

  std::optional<long long> x, y;
  if ((op >= 0 && op <= 4) || op == 7 || op == 8) {
    x = ToWhole(*a);
    if (!x)
      return ConversionError(*a);
    y = ToWhole(*b);
    if (!y)
      return ConversionError(*b);
  }
  const std::string overflow = Tr("Ошибка - переполнение в операторе Oper.");
  const std::string by_zero = Tr("Ошибка - деление на ноль в операторе Oper.");
  long long r = 0;
  std::string value;
  switch (op) {
    case 0:
      if (__builtin_add_overflow(*x, *y, &r))
        return Fail(overflow);
      value = std::to_string(r);
      break;
    case 1:
      if (__builtin_sub_overflow(*x, *y, &r))
        return Fail(overflow);
      value = std::to_string(r);
      break;
    case 2:
      if (__builtin_mul_overflow(*x, *y, &r))
        return Fail(overflow);
      value = std::to_string(r);
      break;
    case 3:
    case 4:
      if (*y == 0)
        return Fail(by_zero);
      if (*x == LLONG_MIN && *y == -1)
        return Fail(overflow);
      value = std::to_string(op == 3 ? *x / *y : *x % *y);
      break;
    case 5:
      value = *a + *b;
      break;
    case 6: {
      auto p = ToReal(*a);
      if (!p)
        return ConversionError(*a);
      auto q = ToReal(*b);
      if (!q)
        return ConversionError(*b);
      if (*q == 0)
        return Fail(by_zero);
      value = FormatReal(*p / *q);
      break;
    }
    case 7: {
      long long span = 0;
      if (__builtin_sub_overflow(*y, *x, &span) || __builtin_add_overflow(span, 1, &span)) {
        return Fail(overflow);
      }
      const long long drawn = static_cast<long long>(random_());
      value = std::to_string(span == 0 ? *x : *x + drawn % span);
      break;
    }
    case 8: {
      if (*y > kMaxOperText) {
        return Fail(TrArgs(Tr("Ошибка - строка длиннее %1 символов в операторе Oper."),
                           {std::to_string(kMaxOperText)}));
      }
      const char ch = static_cast<char>(((*x % 256) + 256) % 256);
      value.assign(*y > 0 ? static_cast<std::size_t>(*y) : 0, ch);
      break;
    }
    case 9:
      value = std::to_string(a->size());
      break;
    case 10:
      value = *a == *b ? "1" : "0";
      break;
    default:
      just_closed_ = false;
      return true;  // an unknown operation stores nothing
  }
  variables_[target].value = value;
  host_.VariableChanged(target + 1, variables_[target].name, value);
  just_closed_ = false;
  return true;
}

}  // namespace tolvanet::script
