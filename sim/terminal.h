// A simulated bank payment terminal on a pseudo-terminal: the program under test opens the
// device path as its terminal's serial port, and this side answers as a terminal would
// (acknowledgements, card data, result with a transaction identifier), with switches for the
// ways real terminals misbehave. Every message it receives is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tolvanet::sim {

// How the simulated terminal behaves. Every switch stays as set until it is changed.
struct TerminalBehaviour {
  // Where the terminal falls silent: nothing at all from the opening request on, no card data
  // after the opening acknowledgement, or no result after acknowledging the payment request.
  enum class Silence { kNone, kOpening, kCardData, kResult };
  Silence silence = Silence::kNone;
  // Which request gets a wrong acknowledgement (NAK instead of ACK) and nothing after it.
  enum class WrongAck { kNone, kOpening, kRequest };
  WrongAck wrong_ack = WrongAck::kNone;
  bool decline = false;                // the result carries no transaction identifier (tag 58)
  bool one_byte_pieces = false;        // every message is written one byte at a time
  bool oversized_body = false;         // the card data body is longer than 999 bytes
  std::set<std::string> missing_tags;  // tags left out of the card data and the result
  bool no_final_fs = false;            // the last field of a message has no FS after it
  bool extra_tags = false;  // unknown tags, some holding "NN=" of a used tag in their value

  // The card the customer presents (tag values, Windows-1251).
  std::string card_tail = "12345678";                   // tag 01: last eight digits
  std::string card_line = "TERMINAL T1000001 AUTH OK";  // tag 02
  std::string card_brand = "VISA";                      // tag 04
};

// One payment the terminal approved.
struct TerminalPayment {
  std::string amount;  // tag 05 as received (kopecks)
  std::string transaction_id;
};

class Terminal {
 public:
  Terminal();
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // Opens the pseudo-terminal pair and starts answering on a thread of its own. False with
  // error_text() when no pair can be had.
  bool Start();
  void Stop();
  // The device to open as the terminal's port (the Terminal key of fpinit.ini).
  const std::string& device_path() const;
  const std::string& error_text() const;

  TerminalBehaviour behaviour() const;
  void SetBehaviour(const TerminalBehaviour& behaviour);
  void ChangeBehaviour(const std::function<void(TerminalBehaviour&)>& change);

  // The bodies of every message received, oldest first.
  std::vector<std::string> received() const;
  void ClearReceived();
  std::vector<TerminalPayment> payments() const;

  // Writes bytes to the port as they are, outside any exchange (line noise, a message left
  // over from an earlier payment).
  void SendRaw(const std::string& bytes);

  // Where the terminal reports what it does (called on its thread); may stay empty.
  void SetLog(std::function<void(const std::string&)> log);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tolvanet::sim
