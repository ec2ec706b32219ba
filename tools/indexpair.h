// The small record the project document sends with its update hints: the
// kind of change and the index it concerns (-1 when none).
#pragma once

#include "platform/gui/document.h"

class CIndexPair : public CObject {
 public:
  CIndexPair() = default;
  CIndexPair(int kind, int index) : first(kind), second(index) {}

  int first = -1;
  int second = -1;
};
