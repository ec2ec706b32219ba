// Message boxes go through a replaceable sink: the GUI installs one that shows
// a dialog (queued to the GUI thread when asked from a worker), tests install
// one that records the texts and gives scripted answers.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_TYPEMASK = 0xF,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

namespace fw {

class IMessageSink {
 public:
  virtual ~IMessageSink() = default;
  // Returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO).
  virtual int Show(const std::string& text, const std::string& caption, unsigned type) = 0;
};

void SetMessageSink(IMessageSink* sink);
IMessageSink* MessageSink();

// Records every message; answers from a queue, else with the first button.
class CRecordingMessageSink : public IMessageSink {
 public:
  struct Message {
    std::string text, caption;
    unsigned type;
  };
  int Show(const std::string& text, const std::string& caption, unsigned type) override;
  void QueueAnswer(int answer);
  std::vector<Message> messages() const;
  std::size_t count() const;
  void clear();

 private:
  mutable std::mutex m_mutex;
  std::vector<Message> m_messages;
  std::deque<int> m_answers;
};

// Installs a recording sink for the life of a scope (tests).
class ScopedMessageSink {
 public:
  ScopedMessageSink() : m_previous(MessageSink()) { SetMessageSink(&m_sink); }
  ~ScopedMessageSink() { SetMessageSink(m_previous); }
  CRecordingMessageSink& operator*() { return m_sink; }
  CRecordingMessageSink* operator->() { return &m_sink; }

 private:
  CRecordingMessageSink m_sink;
  IMessageSink* m_previous;
};

// The caption used when a message names none (the program's title).
void SetMessageCaption(std::string caption);
std::string MessageCaption();

}  // namespace fw

int AfxMessageBox(const std::string& text, unsigned type = MB_OK);
int AfxMessageBox(unsigned id, unsigned type = MB_OK);
int MessageBoxCaption(const std::string& text, const std::string& caption, unsigned type = MB_OK);
