#include "platform/message.h"

#include <atomic>
#include <cstdio>

#include "platform/resstring.h"

namespace fw {

namespace {

// Without a window system the message goes to the error stream; a question
// gets its cautious answer.
class CStderrSink : public IMessageSink {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned type) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    switch (type & MB_TYPEMASK) {
      case MB_YESNO: return IDNO;
      case MB_OKCANCEL:
      case MB_YESNOCANCEL: return IDCANCEL;
      default: return IDOK;
    }
  }
};

std::atomic<IMessageSink*> g_sink{nullptr};
std::mutex g_captionMutex;
std::string g_caption = "fenwardle";

}  // namespace

void SetMessageSink(IMessageSink* sink) {
  g_sink.store(sink);
}

IMessageSink* MessageSink() {
  static CStderrSink fallback;
  IMessageSink* s = g_sink.load();
  return s ? s : &fallback;
}

int CRecordingMessageSink::Show(const std::string& text, const std::string& caption,
                                unsigned type) {
  std::lock_guard lock(m_mutex);
  m_messages.push_back({text, caption, type});
  if (!m_answers.empty()) {
    int a = m_answers.front();
    m_answers.pop_front();
    return a;
  }
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    default: return IDOK;
  }
}

void CRecordingMessageSink::QueueAnswer(int answer) {
  std::lock_guard lock(m_mutex);
  m_answers.push_back(answer);
}

std::vector<CRecordingMessageSink::Message> CRecordingMessageSink::messages() const {
  std::lock_guard lock(m_mutex);
  return m_messages;
}

std::size_t CRecordingMessageSink::count() const {
  std::lock_guard lock(m_mutex);
  return m_messages.size();
}

void CRecordingMessageSink::clear() {
  std::lock_guard lock(m_mutex);
  m_messages.clear();
  m_answers.clear();
}

void SetMessageCaption(std::string caption) {
  std::lock_guard lock(g_captionMutex);
  g_caption = std::move(caption);
}

std::string MessageCaption() {
  std::lock_guard lock(g_captionMutex);
  return g_caption;
}

}  // namespace fw

int AfxMessageBox(const std::string& text, unsigned type) {
  return fw::MessageSink()->Show(text, fw::MessageCaption(), type);
}

int AfxMessageBox(unsigned id, unsigned type) {
  return AfxMessageBox(LoadResString(id), type);
}

int MessageBoxCaption(const std::string& text, const std::string& caption, unsigned type) {
  return fw::MessageSink()->Show(text, caption, type);
}
