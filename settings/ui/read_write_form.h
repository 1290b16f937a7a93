// The one shape of most settings windows: read answer fields into boxes, write boxes back.
// A window declares its boxes as field binders and its buttons as actions; the form checks the
// inputs before anything is sent, runs the command, ends it the kit's way and fills the boxes.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ui/task_dialog.h"
#include "settings/field_codecs.h"

namespace tolvanet::ui {

// One box of a window: how it takes an answer field and what it gives a command.
class FieldBinder {
 public:
  explicit FieldBinder(std::string caption) : caption_(std::move(caption)) {}
  virtual ~FieldBinder() = default;
  // Puts an answer field (Windows-1251) into the box; false when the field is no value the box
  // can show, and the box keeps what it had.
  virtual bool Load(const std::string& field) = 0;
  // Empty when the box holds a value that may be sent, else the message to show.
  virtual std::string Check() const { return {}; }
  // The box's label without the colon, for messages (UTF-8).
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
};

// A free text: at most `max_length` characters, no ";" and no control characters.
class TextField : public FieldBinder {
 public:
  TextField(QLineEdit* edit, std::string caption, int max_length);
  bool Load(const std::string& field) override;
  std::string Check() const override;
  std::string Value() const;  // Windows-1251

 private:
  QLineEdit* edit_;
};

// A whole number within [min, max]; `message` replaces the conversion message when given.
class IntegerField : public FieldBinder {
 public:
  IntegerField(QLineEdit* edit, std::string caption, long long min, long long max,
               std::string message = {});
  bool Load(const std::string& field) override;
  std::string Check() const override;
  int Value() const;
  std::string Text() const;  // as typed, for headings (UTF-8)

 private:
  QLineEdit* edit_;
  long long min_, max_;
  std::string message_;
};

// Hexadecimal digits, at most `digits`, shown with leading zeros.
class HexField : public FieldBinder {
 public:
  HexField(QLineEdit* edit, std::string caption, int digits);
  bool Load(const std::string& field) override;
  std::string Check() const override;
  unsigned Value() const;

 private:
  QLineEdit* edit_;
  int digits_;
};

// A list whose entry is the value: an answer selects an entry only when it names one.
class ListField : public FieldBinder {
 public:
  using IndexOf = std::function<std::optional<int>(std::string_view field)>;
  // Without `index_of` the field is the entry's index.
  ListField(QComboBox* list, std::string caption, IndexOf index_of = {});
  bool Load(const std::string& field) override;
  int Value() const;

 private:
  QComboBox* list_;
  IndexOf index_of_;
};

// A DDMMYY date in a date box; the year is 2000 + YY.
class DateField : public FieldBinder {
 public:
  DateField(QDateEdit* edit, std::string caption);
  bool Load(const std::string& field) override;
  std::string Value() const;  // DDMMYY
  void Set(const CalendarDate& date);

 private:
  QDateEdit* edit_;
};

// Check boxes, one per bit of a hexadecimal mask of `digits` digits.
class MaskField : public FieldBinder {
 public:
  MaskField(std::string caption, int digits) : FieldBinder(std::move(caption)), digits_(digits) {}
  void Add(QCheckBox* box, unsigned bit) { boxes_.emplace_back(box, bit); }
  bool Load(const std::string& field) override;
  unsigned Value() const;
  void SetAll(bool checked);

 private:
  int digits_;
  std::vector<std::pair<QCheckBox*, unsigned>> boxes_;
};

class ReadWriteForm : public TaskDialog {
  Q_OBJECT
 public:
  using TaskDialog::TaskDialog;

 protected:
  // One button's work: the boxes checked before sending, the command, how a failure is
  // reported, the answer fields that go into boxes, and what follows a success.
  struct Action {
    using Send = std::function<const ReplyRecord&(int& result)>;
    using After = std::function<void(const ReplyRecord&)>;
    Action(std::vector<const FieldBinder*> inputs, Send send, int code, ReplyCheck check,
           std::vector<std::pair<int, FieldBinder*>> outputs = {}, After after = {},
           bool success_message = true)
        : inputs(std::move(inputs)),
          send(std::move(send)),
          code(code),
          check(std::move(check)),
          outputs(std::move(outputs)),
          after(std::move(after)),
          success_message(success_message) {}

    std::vector<const FieldBinder*> inputs;  // checked before sending
    Send send;
    int code;  // the command code, for a builder's refusal message
    ReplyCheck check;
    std::vector<std::pair<int, FieldBinder*>> outputs;  // answer field -> box
    After after;                                        // runs on success, before the message
    bool success_message;                               // "Успешно!"
  };

  // Runs an action; true when its command succeeded.
  bool Run(const Action& action);
  // Shows the first refusal among `inputs`; true when every box may be sent.
  bool CheckInputs(const std::vector<const FieldBinder*>& inputs);
  // A command button that runs `action`.
  QPushButton* NewActionButton(const char* name, const QString& text, Action action);

  // Binders, owned by the form.
  template <typename B, typename... Args>
  B* Bind(Args&&... args) {
    auto binder = std::make_unique<B>(std::forward<Args>(args)...);
    B* raw = binder.get();
    binders_.push_back(std::move(binder));
    return raw;
  }
  // The password box as a free text of at most 6 characters.
  TextField* BindPassword(QLineEdit* edit);

 private:
  std::vector<std::unique_ptr<FieldBinder>> binders_;
};

}  // namespace tolvanet::ui
