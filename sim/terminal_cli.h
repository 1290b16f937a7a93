// The command-line switches of the simulated card terminal (tolvanet-sim --terminal ...).
#pragma once

#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "link/translate.h"
#include "sim/terminal.h"

namespace tolvanet::sim {

struct TerminalSwitches {
  bool enabled = false;
  TerminalBehaviour behaviour;
  std::vector<std::string> missing_tags;
};

inline void AddTerminalOptions(CLI::App& app, TerminalSwitches& s) {
  using S = TerminalBehaviour::Silence;
  using W = TerminalBehaviour::WrongAck;
  const std::string group = "Simulated card terminal";
  app.add_flag("--terminal", s.enabled,
               Tr("Also play a bank card terminal on a pseudo-terminal; its device path is printed "
                  "(give it as Terminal in section Communication of fpinit.ini)"))
      ->group(group);
  app.add_option("--terminal-silent", s.behaviour.silence,
                 Tr("Fall silent: at the opening request (open), before the card data (card) or "
                    "before the result (result)"))
      ->transform(CLI::CheckedTransformer(std::map<std::string, S>{
          {"open", S::kOpening}, {"card", S::kCardData}, {"result", S::kResult}}))
      ->option_text("open|card|result")
      ->group(group);
  app.add_option("--terminal-wrong-ack", s.behaviour.wrong_ack,
                 Tr("Answer NAK instead of ACK to the opening request (open) or to the payment "
                    "request (request)"))
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, W>{{"open", W::kOpening}, {"request", W::kRequest}}))
      ->option_text("open|request")
      ->group(group);
  app.add_flag("--terminal-decline", s.behaviour.decline,
               Tr("Decline every payment (a result without tag 58)"))
      ->group(group);
  app.add_flag("--terminal-one-byte", s.behaviour.one_byte_pieces,
               Tr("Write every message one byte at a time"))
      ->group(group);
  app.add_flag("--terminal-oversized", s.behaviour.oversized_body,
               Tr("Send card data with a body longer than 999 bytes"))
      ->group(group);
  app.add_option("--terminal-missing", s.missing_tags,
                 Tr("Leave these tags out of the card data and the result (e.g. 00 58)"))
      ->group(group);
  app.add_flag("--terminal-no-final-fs", s.behaviour.no_final_fs,
               Tr("End the last field of a message without FS"))
      ->group(group);
  app.add_flag("--terminal-extra-tags", s.behaviour.extra_tags,
               Tr("Add unknown tags, some holding the text of a used tag in their value"))
      ->group(group);
}

// The behaviour the switches ask for (call after parsing).
inline TerminalBehaviour TerminalBehaviourOf(const TerminalSwitches& s) {
  TerminalBehaviour b = s.behaviour;
  b.missing_tags.insert(s.missing_tags.begin(), s.missing_tags.end());
  return b;
}

}  // namespace tolvanet::sim
