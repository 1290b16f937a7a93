#include "sim/register.h"

#include <algorithm>
#include <ctime>

#include "link/codepage.h"
#include "link/commands.h"
#include "link/hex.h"

namespace tolvanet::sim {

namespace {

constexpr std::size_t kMaxAnswerData = 207;  // the answer's length byte is 0x30 + m

std::int64_t HostLocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

std::string Hex2(unsigned v) {
  return HexByte(static_cast<std::uint8_t>(v));
}
std::string Hex4(unsigned v) {
  return Hex2((v >> 8) & 0xFF) + Hex2(v & 0xFF);
}

RegisterState MakeDefaultState() {
  RegisterState s;
  for (int i = 0; i < kOperators; ++i) {
    s.operators[i].name = ToCp1251("Касир " + std::to_string(i + 1));
  }
  s.payment_types = {
      {0x83, ToCp1251("ГОТІВКА")}, {0x03, ToCp1251("КАРТКА")},     {0x01, ToCp1251("КРЕДИТ")},
      {0x03, ToCp1251("ЧЕК")},     {0x01, ToCp1251("СЕРТИФІКАТ")}, {0x02, ToCp1251("ТАРА")},
  };
  s.taxes[0] = {1, "20.00", ToCp1251("ПДВ_А"), -1};
  s.taxes[1] = {1, "7.00", ToCp1251("ПДВ_Б"), -1};
  s.taxes[2] = {1, "0.00", ToCp1251("ПДВ_В"), -1};
  s.taxes[3] = {3, "0.00", ToCp1251("ПДВ_Г"), -1};
  s.taxes[4] = {0, "0.00", ToCp1251("ПДВ_Д"), -1};
  s.header[0] = {ToCp1251("      ТОВ \"ТОЛВАНЕТ ДЕМО\""), 0};
  s.header[1] = {ToCp1251("     м. Київ, вул. Тестова, 1"), 0};
  s.header[10] = {ToCp1251("      ДЯКУЄМО ЗА ПОКУПКУ!"), 0};
  s.counters[0] = 95;  // battery, percent
  s.counters[1] = 0;   // link mode: auto
  s.counters[2] = 30;  // sleep after idle minutes
  s.counters[16] = 1460;
  s.counters[20] = 1;  // remote access on
  s.display = {"", ""};
  return s;
}

}  // namespace

RegisterState DefaultState(const std::string& id_dev) {
  // Made once: the texts are converted to Windows-1251 only the first time.
  static const RegisterState kDefault = MakeDefaultState();
  RegisterState s = kDefault;
  s.id_dev = id_dev;
  return s;
}

Register::Register(std::string id_dev) : state_(DefaultState(id_dev)), clock_(HostLocalNow) {}

Register::Register(RegisterState state) : state_(std::move(state)), clock_(HostLocalNow) {}

const std::vector<Register::Command>& Register::Commands() {
  using A = Access;
  static const std::vector<Command> table = {
      {cmd::kSetDateTime, A::kProgramming, &Register::SetDateTime},
      {cmd::kGetDateTime, A::kAny, &Register::GetDateTime},
      {cmd::kSetHeaderFooter, A::kProgramming, &Register::SetHeaderFooter},
      {cmd::kGetHeaderFooter, A::kAny, &Register::GetHeaderFooter},
      {cmd::kAddArticul, A::kAny, &Register::AddArticle},
      {cmd::kSetRegistratorParams, A::kProgramming, &Register::SetRegistratorParams},
      {cmd::kGetRegistratorParams, A::kAny, &Register::GetRegistratorParams},
      {cmd::kSetUserLogo, A::kProgramming, &Register::SetUserLogo},
      {cmd::kSetModePsw, A::kAdmin, &Register::SetModePsw},
      {cmd::kClearOpetratorPsw, A::kProgramming, &Register::ClearOperatorPsw},
      {cmd::kSetPaymentParams, A::kProgramming, &Register::SetPaymentParams},
      {cmd::kGetPaymentParams, A::kAny, &Register::GetPaymentParams},
      {cmd::kSetOperatorParams, A::kProgramming, &Register::SetOperatorParams},
      {cmd::kGetOperatorParams, A::kAny, &Register::GetOperatorParams},
      {cmd::kSetLogoParams, A::kProgramming, &Register::SetLogoParams},
      {cmd::kAddServiceMessageLine, A::kProgramming, &Register::AddServiceMessageLine},
      {cmd::kSetServiceReminder, A::kNone, &Register::SetServiceReminder},
      {cmd::kGetServiceReminder, A::kAny, &Register::GetServiceReminder},
      {cmd::kClearArticleBase, A::kProgramming, &Register::ClearArticleBase},
      {cmd::kFiscalize, A::kProgramming, &Register::Fiscalize},
      {cmd::kSetSerialNumber, A::kProgramming, &Register::SetSerialNumber},
      {cmd::kGetSerialNumber, A::kAny, &Register::GetSerialNumber},
      {cmd::kSetFiscalNumber, A::kProgramming, &Register::SetFiscalNumber},
      {cmd::kGetFiscalNumber, A::kAny, &Register::GetFiscalNumber},
      {cmd::kSetTaxIdNumber, A::kProgramming, &Register::SetTaxIdNumber},
      {cmd::kGetTaxIdNumber, A::kAny, &Register::GetTaxIdNumber},
      {cmd::kSetTaxes, A::kProgramming, &Register::SetTaxes},
      {cmd::kGetTaxes, A::kAny, &Register::GetTaxes},
      {cmd::kSetDecimalPoint, A::kProgramming, &Register::SetDecimalPoint},
      {cmd::kGetDecimalPoint, A::kAny, &Register::GetDecimalPoint},
      {cmd::kSetIdDev, A::kProgramming, &Register::SetIdDev},
      {cmd::kGetIdDev, A::kAny, &Register::GetIdDev},
      {cmd::kOpenNonFiscalReceipt, A::kOperator, &Register::OpenNonFiscalReceipt},
      {cmd::kPrintText, A::kOperator, &Register::PrintText},
      {cmd::kOpenFiscalReceipt, A::kNone, &Register::OpenFiscalReceipt},
      {cmd::kSellItem, A::kOperator, &Register::SellItem},
      {cmd::kCloseFiscalReceipt, A::kOperator, &Register::CloseReceipt},
      {cmd::kMakePayment, A::kOperator, &Register::MakePayment},
      {cmd::kDiscountItemPercent, A::kOperator, &Register::DiscountItemPercent},
      {cmd::kDiscountItemAbsolute, A::kOperator, &Register::DiscountItemAbsolute},
      {cmd::kVoidReceipt, A::kOperator, &Register::VoidReceipt},
      {cmd::kPrintTotal, A::kOperator, &Register::PrintTotal},
      {cmd::kPrintEAN13Code, A::kAny, &Register::PrintBarcode},
      {cmd::kDiscountSubtotalPercent, A::kOperator, &Register::DiscountSubtotalPercent},
      {cmd::kDiscountSubtotalAbsolute, A::kOperator, &Register::DiscountSubtotalAbsolute},
      {cmd::kDiscountTaxGroupPercent, A::kOperator, &Register::DiscountGroupPercent},
      {cmd::kDiscountTaxGroupAbsolute, A::kOperator, &Register::DiscountGroupAbsolute},
      {cmd::kServiceCashInOut, A::kOperator, &Register::ServiceCashInOut},
      {cmd::kCardPayment, A::kOperator, &Register::CardPayment},
      {cmd::kGetDiagnosticInfo, A::kAny, &Register::GetDiagnosticInfo},
      {cmd::kDisplayText, A::kAny, &Register::DisplayText},
      {cmd::kPrintInfoReport, A::kReports, &Register::PrintInfoReport},
      {cmd::kSetServiceCounter, A::kProgramming, &Register::SetServiceCounter},
      {cmd::kGetServiceCounter, A::kAny, &Register::GetServiceCounter},
      {cmd::kGetFreeResources, A::kAny, &Register::GetFreeResources},
      {cmd::kPrintReport, A::kReports, &Register::PrintReport},
      {cmd::kFindReportByDate, A::kReports, &Register::FindReportByDate},
      {cmd::kPrintPeriodicReport, A::kReports, &Register::PrintPeriodicReport},
      {cmd::kPrintSoldItemsReport, A::kReports, &Register::PrintSoldItemsReport},
      {cmd::kPrintExtraDailyReport, A::kReports, &Register::PrintExtraDailyReport},
      {cmd::kSetDataSource, A::kProgramming, &Register::SetDataSource},
      {cmd::kReadDataFromBuf, A::kProgramming, &Register::ReadDataFromBuf},
      {cmd::kGetModemState, A::kAny, &Register::GetModemState},
      {cmd::kPrintCopyByNumbers, A::kReports, &Register::PrintCopyByNumbers},
      {cmd::kPrintCopyByDates, A::kReports, &Register::PrintCopyByDates},
      {cmd::kClearFlash, A::kProgramming, &Register::ClearFlash},
      {cmd::kReadFlash, A::kProgramming, &Register::ReadFlash},
      {cmd::kWriteFlash, A::kProgramming, &Register::WriteFlash},
      {cmd::kRestartDevice, A::kProgramming, &Register::RestartDevice},
      {cmd::kGetNetworkParams, A::kAny, &Register::GetNetworkParams},
      {cmd::kSetNetworkParams, A::kProgramming, &Register::SetNetworkParams},
      {cmd::kGetLastAcquirerSession, A::kAny, &Register::GetLastAcquirerSession},
  };
  return table;
}

Answer Register::Execute(std::uint8_t code, std::string_view text, std::uint8_t sequence) {
  Answer out;
  AnswerRewrite rewrite;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    RecordLocked(code, text, sequence);
    std::uint16_t error = err::kOk;
    std::string data;
    if (BusyLocked()) {
      // Restarting: the request is not run; it goes unanswered or gets busy_error.
      if (faults_.busy_error == 0) {
        out.delivery = Answer::Delivery::kNoAnswer;
        return out;
      }
      out.error_code = ErrorCodeText(faults_.busy_error);
      out.status = StatusLocked();
      return out;
    }
    const std::optional<AimedFault> aimed = TakeAimedFaultLocked(code);
    if (aimed && aimed->kind == AimedFault::Kind::kNoAnswer) {
      out.delivery = Answer::Delivery::kNoAnswer;
      return out;
    }
    if (aimed && aimed->kind == AimedFault::Kind::kNak) {
      out.delivery = Answer::Delivery::kNak;
      return out;
    }
    if (aimed && aimed->kind == AimedFault::Kind::kBadChecksum)
      out.delivery = Answer::Delivery::kBadChecksum;
    if (aimed && aimed->kind == AimedFault::Kind::kError) {
      error = aimed->error;
    } else if (has_next_error_) {
      has_next_error_ = false;
      error = next_error_;
    } else {
      const auto& table = Commands();
      auto it = std::find_if(table.begin(), table.end(),
                             [code](const Command& c) { return c.code == code; });
      if (it == table.end()) {
        error = err::kUnknownCode;
      } else {
        try {
          CommandArgs args(text);
          CheckPassword(it->access, args.Raw(0));
          data = (this->*(it->run))(args, out);
          dirty_ = true;
          RecordPrintedLocked(code, args);
          if ((code == cmd::kRestartDevice || code == cmd::kFiscalize) &&
              faults_.restart_busy_ms > 0) {
            busy_until_ = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(faults_.restart_busy_ms);
          }
        } catch (const DeviceError& e) {
          error = e.code;
          data.clear();
          out.prints = false;
        }
      }
    }
    if (data.size() > kMaxAnswerData) {
      error = err::kMsgSize;
      data.clear();
    }
    out.error_code = ErrorCodeText(error);
    out.data = std::move(data);
    out.status = StatusLocked();
    rewrite = rewrite_;
  }
  // Outside the lock: the sink and the hook may look at the register.
  DeliverPrinted();
  if (rewrite) {
    rewrite(Request{code, std::string(text), sequence}, out);
    if (out.data.size() > kMaxAnswerData)
      out.data.resize(kMaxAnswerData);  // the length byte cannot say more
  }
  return out;
}

std::optional<AimedFault> Register::TakeAimedFaultLocked(std::uint8_t code) {
  // Every fault counts the request; of those whose turn it is, the first added hits it and the
  // others wait for the next matching request.
  auto due = aimed_.end();
  for (auto it = aimed_.begin(); it != aimed_.end(); ++it) {
    if (it->code != AimedFault::kAnyCode && it->code != code)
      continue;
    if (it->skip > 0)
      --it->skip;
    else if (due == aimed_.end())
      due = it;
  }
  if (due == aimed_.end())
    return std::nullopt;
  const AimedFault hit = *due;
  if (--due->count <= 0)
    aimed_.erase(due);
  return hit;
}

void Register::AimFault(const AimedFault& fault) {
  if (fault.count <= 0)
    return;
  std::lock_guard<std::mutex> lock(mutex_);
  aimed_.push_back(fault);
}

void Register::ClearAimedFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  aimed_.clear();
}

void Register::SetAnswerRewrite(AnswerRewrite rewrite) {
  std::lock_guard<std::mutex> lock(mutex_);
  rewrite_ = std::move(rewrite);
}

void Register::Record(std::uint8_t code, std::string_view text, std::uint8_t sequence) {
  std::lock_guard<std::mutex> lock(mutex_);
  RecordLocked(code, text, sequence);
}

void Register::RecordLocked(std::uint8_t code, std::string_view text, std::uint8_t sequence) {
  // A simulator left running for days keeps only the latest requests.
  if (requests_.size() >= kMaxRecordedRequests) {
    requests_.erase(requests_.begin(), requests_.begin() + kMaxRecordedRequests / 2);
  }
  requests_.push_back(Request{code, std::string(text), sequence});
}

void Register::CheckPassword(Access access, std::string_view password) const {
  const RegisterState& s = state_;
  auto is_operator = [&] {
    return std::any_of(s.operators.begin(), s.operators.end(),
                       [&](const Operator& o) { return o.password == password; });
  };
  bool ok = password == s.admin_password;
  switch (access) {
    case Access::kNone:
      return;  // the command checks its own password
    case Access::kAdmin:
      break;
    case Access::kOperator:
      ok = ok || is_operator();
      break;
    case Access::kReports:
      ok = ok || password == s.reports_password;
      break;
    case Access::kProgramming:
      ok = ok || password == s.programming_password;
      break;
    case Access::kAny:
      ok = ok || password == s.reports_password || password == s.programming_password ||
           is_operator();
      break;
  }
  if (!ok)
    throw DeviceError{err::kPassword};
}

void Register::RequireNoDocument() const {
  if (state_.receipt.state != receipt_state::kClosed)
    throw DeviceError{err::kInvalidDocState};
}

void Register::RequireShiftClosed() const {
  if (state_.shift.open)
    throw DeviceError{err::kModeShift};
}

std::string Register::id_dev() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.id_dev;
}

std::vector<Request> Register::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void Register::ClearRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

Faults Register::faults() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return faults_;
}

void Register::SetFaults(const Faults& faults) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_ = faults;
  if (faults_.restart_busy_ms <= 0)
    busy_until_ = {};  // switching the period off ends a restart in progress
}

void Register::ChangeFaults(const std::function<void(Faults&)>& change) {
  std::lock_guard<std::mutex> lock(mutex_);
  change(faults_);
  if (faults_.restart_busy_ms <= 0)
    busy_until_ = {};
}

void Register::SetNextError(std::uint16_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  next_error_ = code;
  has_next_error_ = true;
}

RegisterState Register::State() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

void Register::ChangeState(const std::function<void(RegisterState&)>& change) {
  std::lock_guard<std::mutex> lock(mutex_);
  change(state_);
  dirty_ = true;
}

void Register::ReplaceState(RegisterState state) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = std::move(state);
  dirty_ = true;
}

void Register::OpenReceipt(DocKind kind, int operator_number) {
  std::lock_guard<std::mutex> lock(mutex_);
  Receipt r;
  r.kind = kind;
  r.operator_number = operator_number;
  r.opened_at = NowLocked();
  switch (kind) {
    case DocKind::kSale:
    case DocKind::kReturn:
      r.state = receipt_state::kOpened;
      break;
    case DocKind::kCashInOut:
      r.state = receipt_state::kCashInOut;
      break;
    case DocKind::kNonFiscal:
      r.state = receipt_state::kNonFiscal;
      break;
  }
  if (kind != DocKind::kNonFiscal && !state_.shift.open) {
    state_.shift = Shift{};
    state_.shift.open = true;
    state_.shift.opened_at = r.opened_at;
  }
  state_.receipt = r;
  dirty_ = true;
}

void Register::FillFlash(std::size_t address, std::string_view bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.flash.Write(address, bytes);
  dirty_ = true;
}

void Register::ForceStatusBits(int byte, std::uint8_t mask) {
  if (byte < 0 || byte >= 6)
    return;
  std::lock_guard<std::mutex> lock(mutex_);
  state_.forced_status[byte] = mask;
  dirty_ = true;
}

void Register::SetClock(Clock clock) {
  std::lock_guard<std::mutex> lock(mutex_);
  clock_ = clock ? std::move(clock) : Clock(HostLocalNow);
}

RegisterTime Register::Now() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return NowLocked();
}

RegisterTime Register::NowLocked() const {
  return clock_() + state_.clock_offset;
}

bool Register::TakeDirty() {
  std::lock_guard<std::mutex> lock(mutex_);
  bool d = dirty_;
  dirty_ = false;
  return d;
}

bool Register::BusyLocked() const {
  return std::chrono::steady_clock::now() < busy_until_;
}

bool Register::RemoteAccess() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.counters[20] != 0;
}

void Register::SetRemoteAccess(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.counters[20] = on ? 1 : 0;
  dirty_ = true;
}

std::array<std::uint8_t, 6> Register::StatusBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return StatusLocked();
}

std::array<std::uint8_t, 6> Register::StatusLocked() const {
  const RegisterState& s = state_;
  std::array<std::uint8_t, 6> b;
  b.fill(0x80);
  if (s.service_mode)
    b[0] |= 0x01;
  if (!s.clock_set)
    b[0] |= 0x04;
  if (s.restart_needed)
    b[0] |= 0x20;
  b[2] |= static_cast<std::uint8_t>(s.receipt.state & 0x0F);
  if (s.receipt.state != receipt_state::kClosed && s.receipt.kind == DocKind::kReturn) {
    b[2] |= kReturnReceiptBit;
  }
  const std::size_t used = s.z_reports.size();
  const std::size_t free = used < s.fiscal_report_capacity ? s.fiscal_report_capacity - used : 0;
  if (!s.serial_number.empty())
    b[4] |= 0x01;
  if (s.fiscalized)
    b[4] |= 0x02;
  if (free < 30)
    b[4] |= 0x04;
  if (free == 0)
    b[4] |= 0x08;
  if (!s.id_dev.empty())
    b[4] |= 0x10;
  if (s.personalized)
    b[4] |= 0x20;
  const RegisterTime now = NowLocked();
  if (s.reminder.date != 0 && now >= s.reminder.date - std::int64_t{s.reminder.days} * 86400) {
    b[5] |= 0x08;
  }
  if (s.shift.open) {
    b[5] |= 0x10;
    if (now - s.shift.opened_at >= 23 * 3600)
      b[5] |= 0x40;
  }
  for (int i = 0; i < 6; ++i)
    b[i] |= s.forced_status[i];
  return b;
}

// ---- Date, time and identity ----

std::string Register::SetDateTime(const CommandArgs& a, Answer&) {
  if (!a.Has(1))
    throw CommandArgs::FormatError(1);
  if (!a.Has(2))
    throw CommandArgs::FormatError(2);
  auto date = ParseDate(a.Raw(1));
  if (!date)
    throw DeviceError{err::kDateFormat};
  auto time = ParseTime(a.Raw(2));
  if (!time)
    throw DeviceError{err::kTimeFormat};
  RequireNoDocument();
  const RegisterTime target = *date + *time;
  const RegisterTime now = NowLocked();
  if (state_.shift.open && DateText(target) != DateText(now)) {
    throw DeviceError{err::kFmDateChange};
  }
  if (!state_.z_reports.empty() && target < state_.z_reports.back().time) {
    throw DeviceError{err::kFmLastDate};
  }
  state_.clock_offset = target - clock_();
  state_.clock_set = true;
  return "";
}

std::string Register::GetDateTime(const CommandArgs&, Answer&) {
  const RegisterTime now = NowLocked();
  return DateText(now) + ";" + TimeText(now) + ";";
}

std::string Register::SetHeaderFooter(const CommandArgs& a, Answer&) {
  const int line = static_cast<int>(a.Int(1, 0, kHeaderLines - 1));
  std::string text = a.Text(2, 40);
  const int flag = static_cast<int>(a.Int(3, 0, 1));
  if (flag == 1 && text.size() > 20)
    throw CommandArgs::ValueError(2);
  state_.header[line] = {std::move(text), flag};
  return "";
}

std::string Register::GetHeaderFooter(const CommandArgs& a, Answer&) {
  const HeaderLine& h = state_.header[a.Int(1, 0, kHeaderLines - 1)];
  return h.text + ";" + std::to_string(h.double_width) + ";";
}

std::string Register::SetRegistratorParams(const CommandArgs& a, Answer&) {
  static constexpr int kSpeeds[] = {0,    110,  300,   600,   1200,  2400,
                                    4800, 9600, 19200, 38400, 57600, 115200};
  const int speed = static_cast<int>(a.Int(1, 0, 115200));
  if (std::find(std::begin(kSpeeds), std::end(kSpeeds), speed) == std::end(kSpeeds)) {
    throw CommandArgs::ValueError(1);
  }
  const int contrast = static_cast<int>(a.Int(2, 0, 4));
  const auto doc = static_cast<std::uint16_t>(a.Hex(3, 4));
  const auto ext = static_cast<std::uint8_t>(a.Hex(4, 2));
  const auto open = static_cast<std::uint8_t>(a.Hex(5, 2));
  const auto close = static_cast<std::uint8_t>(a.Hex(6, 2));
  const int chars = static_cast<int>(a.Int(7, 1, 40));
  RegistratorParams& p = state_.params;
  if (speed != 0)
    p.speed = speed;
  p.contrast = contrast;
  p.document_flags = doc;
  p.extended_flags = ext;
  p.drawer_open_pulse = open;
  p.drawer_close_pulse = close;
  p.chars_per_line = chars;
  return "";
}

std::string Register::GetRegistratorParams(const CommandArgs&, Answer&) {
  const RegistratorParams& p = state_.params;
  std::string chars = std::to_string(p.chars_per_line);
  if (chars.size() < 2)
    chars = "0" + chars;
  return std::to_string(p.speed) + ";" + std::to_string(p.contrast) + ";" + Hex4(p.document_flags) +
         ";" + Hex2(p.extended_flags) + ";" + Hex2(p.drawer_open_pulse) + ";" +
         Hex2(p.drawer_close_pulse) + ";" + chars + ";";
}

std::string Register::SetModePsw(const CommandArgs& a, Answer&) {
  std::string programming = a.Digits(1, 1, 6);
  std::string reports = a.Digits(2, 1, 6);
  std::string admin = a.Digits(3, 1, 6);
  state_.programming_password = std::move(programming);
  state_.reports_password = std::move(reports);
  state_.admin_password = std::move(admin);
  return "";
}

std::string Register::ClearOperatorPsw(const CommandArgs& a, Answer&) {
  Operator& op = state_.operators[a.Int(1, 1, kOperators) - 1];
  op.password = "406172";
  return "";
}

std::string Register::SetPaymentParams(const CommandArgs& a, Answer&) {
  const auto count = static_cast<std::int64_t>(state_.payment_types.size());
  const auto n = a.Int(1, 0, count - 1);
  const auto mask = static_cast<std::uint8_t>(a.Hex(2, 2));
  std::string name = a.Text(3, 20);
  RequireNoDocument();
  state_.payment_types[n] = {mask, std::move(name)};
  return "";
}

std::string Register::GetPaymentParams(const CommandArgs& a, Answer&) {
  const auto count = static_cast<std::int64_t>(state_.payment_types.size());
  const PaymentType& p = state_.payment_types[a.Int(1, 0, count - 1)];
  return Hex2(p.mask) + ";" + p.name + ";";
}

std::string Register::SetOperatorParams(const CommandArgs& a, Answer&) {
  const auto n = a.Int(1, 1, kOperators);
  std::string password = a.Digits(2, 1, 6);
  std::string name = a.Text(3, 20);
  Operator& op = state_.operators[n - 1];
  if (op.made_sales)
    throw DeviceError{err::kModeShift};
  op.password = std::move(password);
  op.name = std::move(name);
  return "";
}

std::string Register::GetOperatorParams(const CommandArgs& a, Answer&) {
  const Operator& op = state_.operators[a.Int(1, 1, kOperators) - 1];
  return std::string(op.made_sales ? "1" : "0") + ";" + op.name + ";";
}

std::string Register::AddServiceMessageLine(const CommandArgs& a, Answer&) {
  const auto mode = a.Int(1, 0, 1);
  std::string text = a.Text(2, 40);
  auto& lines = state_.reminder.message;
  if (mode == 1 && lines.size() >= kMaxReminderLines)
    throw DeviceError{err::kLowBuffer};
  if (mode == 0)
    lines.clear();
  lines.push_back(std::move(text));
  return "";
}

std::string Register::SetServiceReminder(const CommandArgs& a, Answer&) {
  if (a.Raw(0) != state_.reminder.password)
    throw DeviceError{err::kPassword};
  std::string password = a.Digits(1, 1, 6);
  if (!a.Has(2))
    throw CommandArgs::FormatError(2);
  auto date = ParseDate(a.Raw(2));
  if (!date)
    throw CommandArgs::FormatError(2);
  const auto days = a.Int(3, 0, 365);
  const auto mask = static_cast<std::uint8_t>(a.Hex(4, 2));
  ServiceReminder& r = state_.reminder;
  r.password = std::move(password);
  r.date = *date;
  r.days = static_cast<int>(days);
  r.mask = mask;
  return "";
}

std::string Register::GetServiceReminder(const CommandArgs&, Answer&) {
  const ServiceReminder& r = state_.reminder;
  return (r.date != 0 ? DateText(r.date) : std::string("000000")) + ";" + std::to_string(r.days) +
         ";" + Hex2(r.mask) + ";";
}

std::string Register::Fiscalize(const CommandArgs& a, Answer&) {
  std::string serial = a.Text(1, 11, false);
  a.Digits(2, 6, 6);
  if (state_.serial_number.empty())
    throw DeviceError{err::kFmNoSerial};
  if (serial != state_.serial_number)
    throw CommandArgs::ValueError(1);
  if (state_.fiscalized)
    throw DeviceError{err::kModeService};
  RequireNoDocument();
  RequireShiftClosed();
  if (state_.z_reports.size() >= state_.fiscal_report_capacity) {
    throw DeviceError{err::kFmNoFreeSpace};
  }
  const RegisterTime now = NowLocked();
  state_.fiscalized = true;
  state_.fiscalized_at = now;
  state_.personalized = true;
  state_.personalized_at = now;
  return "";
}

std::string Register::SetSerialNumber(const CommandArgs& a, Answer&) {
  std::string serial = a.Text(1, 11, false);
  if (state_.fiscalized)
    throw DeviceError{err::kModeService};
  state_.serial_number = std::move(serial);
  return "";
}

std::string Register::GetSerialNumber(const CommandArgs&, Answer&) {
  return state_.serial_number + ";";
}

std::string Register::SetFiscalNumber(const CommandArgs& a, Answer&) {
  std::string number = a.Digits(1, 0, 10);
  if (state_.fiscalized)
    throw DeviceError{err::kModeService};
  state_.fiscal_number = std::move(number);
  return "";
}

std::string Register::GetFiscalNumber(const CommandArgs&, Answer&) {
  return state_.fiscal_number + ";";
}

std::string Register::SetTaxIdNumber(const CommandArgs& a, Answer&) {
  std::string id = a.Digits(1, 0, 12);
  std::string number = a.Digits(2, 0, 13);
  RequireShiftClosed();
  state_.tax_id = std::move(id);
  state_.tax_number = std::move(number);
  return "";
}

std::string Register::GetTaxIdNumber(const CommandArgs&, Answer&) {
  return state_.tax_id + ";" + state_.tax_number + ";";
}

std::string Register::SetTaxes(const CommandArgs& a, Answer&) {
  const auto group = a.Int(1, 0, kTaxGroups - 1);
  const auto type = a.Hex(2, 2);
  if (type > 7)
    throw CommandArgs::ValueError(2);
  const auto rate = a.Fixed(3, 2, 0, 9999);
  std::string name = a.Text(4, 19);
  const auto linked = a.Int(5, -1, kTaxGroups - 1);
  if (linked == group)
    throw CommandArgs::ValueError(5);
  RequireShiftClosed();
  state_.taxes[group] = {static_cast<int>(type), FormatMoney(rate), std::move(name),
                         static_cast<int>(linked)};
  return "";
}

std::string Register::GetTaxes(const CommandArgs& a, Answer&) {
  const TaxGroup& t = state_.taxes[a.Int(1, 0, kTaxGroups - 1)];
  return std::to_string(t.type) + ";" + t.rate + ";" + t.name + ";" + std::to_string(t.linked) +
         ";";
}

std::string Register::SetDecimalPoint(const CommandArgs& a, Answer&) {
  const auto position = a.Int(1, 0, 3);
  RequireShiftClosed();
  state_.decimal_point = static_cast<int>(position);
  return "";
}

std::string Register::GetDecimalPoint(const CommandArgs&, Answer&) {
  return std::to_string(state_.decimal_point) + ";";
}

std::string Register::SetIdDev(const CommandArgs& a, Answer&) {
  // At most 9 digits: the relay's registration carries 9 bytes.
  a.Digits(1, 1, 9);
  state_.id_dev = std::to_string(a.Int(1, 1, 999'999'999));
  return "";
}

std::string Register::GetIdDev(const CommandArgs&, Answer&) {
  return state_.id_dev + ";";
}

std::string Register::GetDiagnosticInfo(const CommandArgs&, Answer&) {
  const RegisterState& s = state_;
  std::string d;
  auto add = [&d](const std::string& field) { d += field + ";"; };
  add(s.model);                                 // 0
  add(s.version);                               // 1
  add(ToCp1251("Симулятор"));                   // 2
  add(s.serial_number);                         // 3
  add(s.fiscal_number);                         // 4
  add(s.id_dev);                                // 5
  add(std::to_string(s.logo.size()));           // 6 logo memory, bytes
  add(std::to_string(s.logo_max_width));        // 7 widest logo, pixels
  add(std::to_string(s.next_document));         // 8 next document number
  add(std::to_string(s.z_reports.size()));      // 9 daily reports made
  add(std::to_string(s.payment_types.size()));  // 10 payment types
  return d;
}

std::string Register::DisplayText(const CommandArgs& a, Answer&) {
  const auto function = a.Int(1, 0, 3);
  a.Int(2, 0, 255);
  std::string text = a.Text(3, 20);
  auto& d = state_.display;
  switch (function) {
    case 0:
      d = {"", ""};
      break;
    case 1:
      d[0] = std::move(text);
      break;
    case 2:
      d[1] = std::move(text);
      break;
    default: {
      const RegisterTime now = NowLocked();
      d[0] = DateText(now) + " " + TimeText(now);
      break;
    }
  }
  return "";
}

namespace {

// Allowed values of the writable service counters; 0 and 11 are measured, not set.
bool CounterRange(int n, std::int64_t& lo, std::int64_t& hi) {
  lo = 0;
  hi = 1;
  switch (n) {
    case 0:
    case 11:
      return false;
    case 1:
      hi = 3;
      break;
    case 2:
      hi = 1440;
      break;
    case 6:
    case 10:
      hi = 255;
      break;
    case 16:
      lo = 500;
      hi = 1460;
      break;
    default:
      break;
  }
  return true;
}

}  // namespace

std::string Register::SetServiceCounter(const CommandArgs& a, Answer&) {
  const int n = static_cast<int>(a.Int(1, 0, kServiceCounters - 1));
  std::int64_t lo = 0;
  std::int64_t hi = 0;
  if (!CounterRange(n, lo, hi))
    throw CommandArgs::ValueError(1);
  state_.counters[n] = a.Int(2, lo, hi);
  return "";
}

std::string Register::GetServiceCounter(const CommandArgs& a, Answer&) {
  const int n = static_cast<int>(a.Int(1, 0, kServiceCounters - 1));
  std::int64_t value = state_.counters[n];
  if (n == 11) {
    const std::size_t used = state_.journal.size() * 64 + state_.articles.size() * 96;
    value = static_cast<std::int64_t>(used < 4'194'304 ? 4'194'304 - used : 0);
  }
  return std::to_string(value) + ";";
}

std::string Register::GetFreeResources(const CommandArgs&, Answer&) {
  const RegisterState& s = state_;
  const bool closed = !s.shift.open;
  auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
  const std::size_t used = s.z_reports.size();
  std::string d;
  auto add = [&d](const std::string& field) { d += field + ";"; };
  add(flag(!s.fiscalized && !s.serial_number.empty() && closed));  // 0 fiscalization
  add(flag(!s.fiscalized));                                        // 1 serial number
  add(flag(!s.fiscalized));                                        // 2 fiscal number
  add(flag(closed));                                               // 3 tax numbers
  add(flag(closed));                                               // 4 tax rates
  add(flag(!s.fiscalized));                                        // 5 FM password
  add("0");                                                        // 6 RAM resets
  add(std::to_string(used < s.fiscal_report_capacity ? s.fiscal_report_capacity - used : 0));
  add(s.shift.open ? DateText(s.shift.opened_at) : std::string("000000"));
  add(s.shift.open ? TimeText(s.shift.opened_at) : std::string("0000"));
  add(std::to_string(s.article_capacity - std::min(s.article_capacity, s.articles.size())));
  add(std::to_string(s.journal_capacity - std::min(s.journal_capacity, s.journal.size())));
  return d;
}

std::string Register::RestartDevice(const CommandArgs&, Answer&) {
  state_.restart_needed = false;
  state_.display = {"", ""};
  return "";
}

std::string Register::GetModemState(const CommandArgs& a, Answer& out) {
  out.prints = a.Int(1, 0, 1) == 1;
  const RegisterState& s = state_;
  std::uint8_t bits = 0;
  if (s.modem_sam_fault)
    bits |= 0x01;
  if (s.modem_card_fault)
    bits |= 0x02;
  if (s.modem_blocked_72h)
    bits |= 0x04;
  if (s.ethernet_cable)
    bits |= 0x40;
  if (!s.id_dev.empty())
    bits |= 0x08;
  if (s.fiscalized)
    bits |= 0x10;
  if (s.personalized)
    bits |= 0x20;
  if (s.first_undelivered != 0)
    bits |= 0x80;
  auto date = [](RegisterTime t) { return t != 0 ? DateText(t) : std::string("000000"); };
  auto time = [](RegisterTime t) { return t != 0 ? TimeText(t) : std::string("0000"); };
  return Hex2(bits) + ";" + date(s.first_undelivered) + ";" + time(s.first_undelivered) + ";" +
         date(s.personalized_at) + ";" + time(s.personalized_at) + ";";
}

std::string Register::GetLastAcquirerSession(const CommandArgs&, Answer&) {
  const RegisterTime t = state_.last_acquirer_session;
  if (t == 0)
    return "000000;0000;";
  return DateText(t) + ";" + TimeText(t) + ";";
}

}  // namespace tolvanet::sim
