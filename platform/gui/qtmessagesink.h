#pragma once

#include "platform/message.h"

namespace fw {

// Shows messages as modal message boxes on the GUI thread. A worker thread's
// message is queued to the GUI thread and the worker waits for the answer.
class CQtMessageSink : public IMessageSink {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned type) override;
};

}  // namespace fw
