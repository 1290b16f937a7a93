// One simulated register: it takes a command code and text, carries the command out on its
// memory and gives the answer (error code, data, six status bytes). The relay server in
// sim/server.h moves its frames; tests drive it through the server or directly.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/register_state.h"

namespace tolvanet::sim {

// One request as the register received it.
struct Request {
  std::uint8_t code = 0;
  std::string text;
  std::uint8_t sequence = 0;  // the sequence byte as sent (0x20..0x7E)
};

// The register's answer to one request.
struct Answer {
  std::string error_code = "0000";       // as it travels: detail first
  std::string data;                      // the answer fields, each followed by ";"
  std::array<std::uint8_t, 6> status{};  // each with bit 7 set
  bool prints = false;  // the register prints while it works: SYN bytes go before the answer
  // How the answer travels: an aimed fault (below) may keep it back, NAK the request or spoil
  // the checksum. The relay server acts on it; a test calling Execute directly can read it.
  enum class Delivery { kNormal, kNoAnswer, kNak, kBadChecksum };
  Delivery delivery = Delivery::kNormal;
};

// One line of a printed document, as the register put it on paper.
struct PrintedLine {
  enum class Kind {
    kText,     // a text line (PrintText): comments, card details, signature lines
    kSale,     // a sale: "code;quantity;price;"
    kVoid,     // a sale taken back in void mode: "code;quantity;price;"
    kPayment,  // a payment: "type;amount;" and, for a card payment, "transaction;" after them
    kBarcode,  // an EAN-13 bar code: "height;" and the 32 hexadecimal digits of its bar row
  };
  Kind kind = Kind::kText;
  std::string text;
  // Where it came on paper: after this many lines and payments of the receipt.
  std::size_t at_line = 0;
  std::size_t at_payment = 0;
  std::int64_t amount = 0;  // kVoid: the sum taken back, with the line's adjustments (kopecks)
  bool operator==(const PrintedLine& o) const { return kind == o.kind && text == o.text; }
};

// The user's logo as a document printed it: one bit per dot (set = dark), rows of whole bytes,
// the leftmost dot of a byte in its high bit.
struct LogoPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bits;
  bool operator==(const LogoPicture&) const = default;
};

// One document the register printed, from its opening to its close or void.
struct PrintedDocument {
  enum class Report { kNone, kX, kZ };
  DocKind kind = DocKind::kSale;
  Report report = Report::kNone;  // an X or Z report: a document of its own
  int number = 0;                 // 0: printed outside a document (a bar code with no receipt open)
  std::vector<PrintedLine> lines;
  bool closed = false;
  bool cancelled = false;
  // The register's own figures once the document is finished: the receipt as it was closed,
  // its taxes, the shift a report covers, the money in the drawer after it, when it printed.
  RegisterTime time = 0;
  Receipt receipt;
  std::int64_t total = 0;  // the receipt's sum
  GroupTotals taxes;
  Shift shift;
  std::int64_t cash = 0;
  // The document as it came out on paper, one UTF-8 line each (sim/tape.h), and the width of
  // the tape it came out on.
  std::vector<std::string> tape;
  int tape_width = 0;
  // The user's logo, when the document printed it: tape lines logo_first .. logo_first +
  // logo_lines - 1 draw it with block characters; `logo` is the picture itself, shared by the
  // documents that printed the same one.
  std::size_t logo_first = 0;
  std::size_t logo_lines = 0;
  std::shared_ptr<const LogoPicture> logo;
};

// Called with every document once it is finished, outside the register's lock, in the order
// they were printed.
using PrintSink = std::function<void(const PrintedDocument& document)>;

// A fault aimed at chosen requests rather than at whatever comes next. Of the requests with
// command code `code` (every request when it is kAnyCode) it lets `skip` through and hits the
// `count` after them; then it is spent. Faults are matched from the moment they are added.
//   r.AimFault({.error = err::kPassword, .code = 0x42, .count = 2});  // "0006", next two 0x42
//   r.AimFault({.kind = AimedFault::Kind::kNoAnswer, .skip = 2});      // the third request
struct AimedFault {
  static constexpr int kAnyCode = -1;
  enum class Kind {
    kError,        // the answer carries `error` instead of running the command
    kNoAnswer,     // the request is recorded, not carried out and never answered
    kNak,          // the request is recorded, not carried out and answered with NAK
    kBadChecksum,  // the command runs; its answer arrives with a wrong checksum digit
  };
  Kind kind = Kind::kError;
  std::uint16_t error = 0;  // group * 256 + detail, as SetNextError takes it
  int code = kAnyCode;
  int skip = 0;
  int count = 1;
};

// Rewrites an answer before it is framed (malformed fields, wrong packet numbers and the like).
// Called for every answer the register gives, with the request it answers.
using AnswerRewrite = std::function<void(const Request& request, Answer& answer)>;

// Misbehaviour switched on for tests of the client's error paths. Every switch stays on until
// it is switched off again.
struct Faults {
  bool nak = false;               // answer every request with NAK; the command is not run
  bool corrupt_checksum = false;  // the answer's checksum digits are wrong
  bool no_answer = false;         // requests are read and recorded but never answered
  bool drop_connection = false;   // a request closes the client's connection unanswered
  int answer_delay_ms = 0;        // the answer goes out this much later
  int registration_delay_ms = 0;  // the relay's "Ready" goes out this much later
  int split_answer_bytes = 0;     // > 0: the answer is written in pieces of this many bytes
  int syn_count = 3;              // SYN bytes sent before the answer of a printing command
  int syn_interval_ms = 20;       // pause between those SYN bytes
  // After RestartDevice (243) and Fiscalize (64) the register restarts: for this long it does
  // not answer (busy_error 0) or answers every request with busy_error without running it.
  int restart_busy_ms = 0;
  std::uint16_t busy_error = 0;
};

class Register {
 public:
  using Clock = std::function<std::int64_t()>;  // host local time, seconds since 1970

  explicit Register(std::string id_dev);
  // A register with the memory of `state` (as read from a state file).
  explicit Register(RegisterState state);
  Register(const Register&) = delete;
  Register& operator=(const Register&) = delete;

  // Runs one command: records the request, checks it, carries it out and answers.
  Answer Execute(std::uint8_t code, std::string_view text, std::uint8_t sequence = 0x20);
  // Records a request that a fault switch keeps from being carried out.
  void Record(std::uint8_t code, std::string_view text, std::uint8_t sequence);

  // The current ID_DEV (code 75 changes it).
  std::string id_dev() const;

  // The requests received, oldest first: every one, up to the last kMaxRecordedRequests
  // (older ones are dropped half at a time).
  static constexpr std::size_t kMaxRecordedRequests = 100000;
  std::vector<Request> requests() const;
  void ClearRequests();

  // What the register printed, oldest document first, next to the request record (the latest
  // kMaxPrintedDocuments documents).
  static constexpr std::size_t kMaxPrintedDocuments = 10000;
  std::vector<PrintedDocument> printed() const;
  void ClearPrinted();
  // Every finished document goes to `sink` as well (an empty function: nowhere).
  void SetPrintSink(PrintSink sink);

  Faults faults() const;
  void SetFaults(const Faults& faults);
  // Changes some switches and keeps the others: r.ChangeFaults([](Faults& f) { f.nak = true; }).
  void ChangeFaults(const std::function<void(Faults&)>& change);

  // The next answer carries this error code instead of running the command (one answer only).
  void SetNextError(std::uint16_t code);

  // Adds a fault aimed at chosen requests. Several may wait at once: each counts the requests
  // it matches; when two are due at the same request the first added hits it and the other
  // takes the next matching one. ClearAimedFaults drops those not yet spent.
  void AimFault(const AimedFault& fault);
  void ClearAimedFaults();
  // Every answer goes through `rewrite` until it is set again (an empty function: none).
  void SetAnswerRewrite(AnswerRewrite rewrite);

  // Direct access to the register's memory, under its lock.
  RegisterState State() const;
  void ChangeState(const std::function<void(RegisterState&)>& change);
  void ReplaceState(RegisterState state);

  // Helpers for tests and demonstrations.
  void OpenReceipt(DocKind kind, int operator_number = 1);
  void FillFlash(std::size_t address, std::string_view bytes);
  void ForceStatusBits(int byte, std::uint8_t mask);

  // The host clock the register's own clock runs from (tests freeze it).
  void SetClock(Clock clock);
  // The register's current time.
  RegisterTime Now() const;

  // The synthetic firmware image that data source 5 serves.
  std::vector<std::uint8_t> FirmwareImage() const;

  // True once the memory changed since the last call (the server then saves its state file).
  bool TakeDirty();

  // The six status bytes as the register would answer now.
  std::array<std::uint8_t, 6> StatusBytes() const;

  // Remote access (service counter 20): while it is 0 the relay takes no new connection for
  // this register.
  bool RemoteAccess() const;
  void SetRemoteAccess(bool on);

 private:
  enum class Access { kAny, kOperator, kReports, kProgramming, kAdmin, kNone };
  struct Command {
    int code;
    Access access;
    std::string (Register::*run)(const CommandArgs&, Answer&);
  };
  static const std::vector<Command>& Commands();

  std::array<std::uint8_t, 6> StatusLocked() const;
  RegisterTime NowLocked() const;
  void CheckPassword(Access access, std::string_view password) const;
  void RequireNoDocument() const;
  void RequireShiftClosed() const;

  // Settings and identity (register.cpp).
  std::string SetDateTime(const CommandArgs& a, Answer& out);
  std::string GetDateTime(const CommandArgs& a, Answer& out);
  std::string SetHeaderFooter(const CommandArgs& a, Answer& out);
  std::string GetHeaderFooter(const CommandArgs& a, Answer& out);
  std::string SetRegistratorParams(const CommandArgs& a, Answer& out);
  std::string GetRegistratorParams(const CommandArgs& a, Answer& out);
  std::string SetModePsw(const CommandArgs& a, Answer& out);
  std::string ClearOperatorPsw(const CommandArgs& a, Answer& out);
  std::string SetPaymentParams(const CommandArgs& a, Answer& out);
  std::string GetPaymentParams(const CommandArgs& a, Answer& out);
  std::string SetOperatorParams(const CommandArgs& a, Answer& out);
  std::string GetOperatorParams(const CommandArgs& a, Answer& out);
  std::string AddServiceMessageLine(const CommandArgs& a, Answer& out);
  std::string SetServiceReminder(const CommandArgs& a, Answer& out);
  std::string GetServiceReminder(const CommandArgs& a, Answer& out);
  std::string Fiscalize(const CommandArgs& a, Answer& out);
  std::string SetSerialNumber(const CommandArgs& a, Answer& out);
  std::string GetSerialNumber(const CommandArgs& a, Answer& out);
  std::string SetFiscalNumber(const CommandArgs& a, Answer& out);
  std::string GetFiscalNumber(const CommandArgs& a, Answer& out);
  std::string SetTaxIdNumber(const CommandArgs& a, Answer& out);
  std::string GetTaxIdNumber(const CommandArgs& a, Answer& out);
  std::string SetTaxes(const CommandArgs& a, Answer& out);
  std::string GetTaxes(const CommandArgs& a, Answer& out);
  std::string SetDecimalPoint(const CommandArgs& a, Answer& out);
  std::string GetDecimalPoint(const CommandArgs& a, Answer& out);
  std::string SetIdDev(const CommandArgs& a, Answer& out);
  std::string GetIdDev(const CommandArgs& a, Answer& out);
  std::string GetDiagnosticInfo(const CommandArgs& a, Answer& out);
  std::string DisplayText(const CommandArgs& a, Answer& out);
  std::string SetServiceCounter(const CommandArgs& a, Answer& out);
  std::string GetServiceCounter(const CommandArgs& a, Answer& out);
  std::string GetFreeResources(const CommandArgs& a, Answer& out);
  std::string RestartDevice(const CommandArgs& a, Answer& out);
  std::string GetModemState(const CommandArgs& a, Answer& out);
  std::string GetLastAcquirerSession(const CommandArgs& a, Answer& out);

  // Articles, receipts and reports (sales.cpp).
  std::string AddArticle(const CommandArgs& a, Answer& out);
  std::string ClearArticleBase(const CommandArgs& a, Answer& out);
  std::string OpenNonFiscalReceipt(const CommandArgs& a, Answer& out);
  std::string PrintText(const CommandArgs& a, Answer& out);
  std::string OpenFiscalReceipt(const CommandArgs& a, Answer& out);
  std::string SellItem(const CommandArgs& a, Answer& out);
  std::string CloseReceipt(const CommandArgs& a, Answer& out);
  std::string MakePayment(const CommandArgs& a, Answer& out);
  std::string CardPayment(const CommandArgs& a, Answer& out);
  std::string DiscountItemPercent(const CommandArgs& a, Answer& out);
  std::string DiscountItemAbsolute(const CommandArgs& a, Answer& out);
  std::string DiscountSubtotalPercent(const CommandArgs& a, Answer& out);
  std::string DiscountSubtotalAbsolute(const CommandArgs& a, Answer& out);
  std::string DiscountGroupPercent(const CommandArgs& a, Answer& out);
  std::string DiscountGroupAbsolute(const CommandArgs& a, Answer& out);
  std::string VoidReceipt(const CommandArgs& a, Answer& out);
  std::string PrintTotal(const CommandArgs& a, Answer& out);
  std::string PrintBarcode(const CommandArgs& a, Answer& out);
  std::string ServiceCashInOut(const CommandArgs& a, Answer& out);
  std::string PrintInfoReport(const CommandArgs& a, Answer& out);
  std::string PrintReport(const CommandArgs& a, Answer& out);
  std::string FindReportByDate(const CommandArgs& a, Answer& out);
  std::string PrintPeriodicReport(const CommandArgs& a, Answer& out);
  std::string PrintSoldItemsReport(const CommandArgs& a, Answer& out);
  std::string PrintExtraDailyReport(const CommandArgs& a, Answer& out);
  std::string PrintCopyByNumbers(const CommandArgs& a, Answer& out);
  std::string PrintCopyByDates(const CommandArgs& a, Answer& out);

  // Sales helpers (sales.cpp).
  void RequireSaleState(std::initializer_list<int> states) const;
  void OpenShiftIfClosed();
  std::int64_t ReceiptTotal() const;
  std::int64_t GroupTotal(int tax) const;
  GroupTotals ReceiptTaxes() const;
  std::string Pay(int type, std::int64_t amount, bool card);
  std::string Adjust(LineKind kind, std::int64_t value, bool percent, int tax);
  void FinishDocument(bool cancelled);
  void RecordSale(const ReceiptLine& line, int sign);

  // Memories (memory.cpp).
  std::string SetUserLogo(const CommandArgs& a, Answer& out);
  std::string SetLogoParams(const CommandArgs& a, Answer& out);
  std::string SetDataSource(const CommandArgs& a, Answer& out);
  std::string ReadDataFromBuf(const CommandArgs& a, Answer& out);
  std::string ClearFlash(const CommandArgs& a, Answer& out);
  std::string ReadFlash(const CommandArgs& a, Answer& out);
  std::string WriteFlash(const CommandArgs& a, Answer& out);
  std::string GetNetworkParams(const CommandArgs& a, Answer& out);
  std::string SetNetworkParams(const CommandArgs& a, Answer& out);

  mutable std::mutex mutex_;
  RegisterState state_;
  Faults faults_;
  void RecordLocked(std::uint8_t code, std::string_view text, std::uint8_t sequence);
  std::vector<Request> requests_;
  // The printed-document record (printed.cpp): fed by every command that succeeded.
  void RecordPrintedLocked(std::uint8_t code, const CommandArgs& args);
  PrintedDocument& PrintingDocumentLocked();
  void FinishPrintedLocked(PrintedDocument& doc);
  void PushPrintedLocked(PrintedDocument doc);
  void AddPrintedLineLocked(PrintedLine line);
  void DeliverPrinted();  // hands finished documents to the sink (without the lock)
  std::vector<PrintedDocument> printed_;
  PrintedDocument finishing_;                        // filled by FinishDocument and PrintReport
  std::size_t last_voided_line_ = 0;                 // the sale line the latest void took back
  std::vector<PrintedDocument> to_sink_;             // finished, not yet handed to the sink
  std::shared_ptr<const LogoPicture> logo_picture_;  // the logo the last documents printed
  PrintSink sink_;
  std::mutex sink_mutex_;
  std::uint16_t next_error_ = 0;
  bool has_next_error_ = false;
  // The aimed fault that hits this request, if one does (every fault counts the request).
  std::optional<AimedFault> TakeAimedFaultLocked(std::uint8_t code);
  std::vector<AimedFault> aimed_;
  AnswerRewrite rewrite_;
  bool dirty_ = false;
  Clock clock_;
  std::chrono::steady_clock::time_point busy_until_{};
  bool BusyLocked() const;
};

}  // namespace tolvanet::sim
