#pragma once

#include "platform/message.h"

namespace fw {

// Shows messages as message boxes. On the GUI thread the box is modal and
// its answer returned. A worker thread never waits on a window: its message
// is queued to the GUI thread and shown there without blocking anyone, and
// the worker gets the cautious answer at once (OK for a plain message,
// Cancel or No for a question).
class CQtMessageSink : public IMessageSink {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned type) override;

  // The cautious answer for a box of this type: what a worker gets, and
  // what a box gives that ended without a button (its owner went).
  static int WorkerAnswer(unsigned type);
};

}  // namespace fw
