#include "platform/gui/ipaddressctrl.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <functional>

namespace {

// Moves to the next field on '.', and lets Backspace in an empty field go back.
class CFieldEdit : public QLineEdit {
 public:
  CFieldEdit(QWidget* parent, std::function<void(int)> move)
      : QLineEdit(parent), m_move(std::move(move)) {}

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Period || e->key() == Qt::Key_Space) {
      if (!text().isEmpty() && !hasSelectedText()) m_move(1);
      return;
    }
    if (e->key() == Qt::Key_Backspace && cursorPosition() == 0 && !hasSelectedText()) {
      m_move(-1);
      return;
    }
    QLineEdit::keyPressEvent(e);
  }

 private:
  std::function<void(int)> m_move;
};

}  // namespace

QWidget* CIPAddressCtrl::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  frame->setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(frame);
  layout->setContentsMargins(2, 0, 2, 0);
  layout->setSpacing(0);
  static const QRegularExpression kByte("^(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])?$");
  for (int i = 0; i < 4; ++i) {
    auto* field = new CFieldEdit(frame, [this, i](int step) {
      const int next = i + step;
      if (next >= 0 && next < 4 && m_fields[next]) {
        m_fields[next]->setFocus(Qt::OtherFocusReason);
        m_fields[next]->selectAll();
      }
    });
    field->setFrame(false);
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(3);
    field->setValidator(new QRegularExpressionValidator(kByte, field));
    QObject::connect(field, &QLineEdit::textEdited, field, [this, i](const QString& text) {
      if (text.size() == 3 && i < 3 && m_fields[i + 1]) {
        m_fields[i + 1]->setFocus(Qt::OtherFocusReason);
        m_fields[i + 1]->selectAll();
      }
      if (!m_quiet) NotifyParent(EN_CHANGE);
    });
    m_fields[i] = field;
    layout->addWidget(field, 1);
    if (i < 3) layout->addWidget(new QLabel(".", frame));
  }
  frame->setFocusProxy(m_fields[0]);
  return frame;
}

QLineEdit* CIPAddressCtrl::Field(int i) const {
  return IsWindow() ? m_fields[static_cast<std::size_t>(i)] : nullptr;
}

void CIPAddressCtrl::SetAddress(std::uint32_t address) {
  SetAddress(static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
             static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address));
}

void CIPAddressCtrl::SetAddress(std::uint8_t f0, std::uint8_t f1, std::uint8_t f2,
                                std::uint8_t f3) {
  const std::uint8_t v[4] = {f0, f1, f2, f3};
  m_quiet = true;
  for (int i = 0; i < 4; ++i)
    if (QLineEdit* f = Field(i)) f->setText(QString::number(v[i]));
  m_quiet = false;
}

int CIPAddressCtrl::GetAddress(std::uint32_t& address) const {
  address = 0;
  int filled = 0;
  for (int i = 0; i < 4; ++i) {
    QLineEdit* f = Field(i);
    unsigned value = 0;
    if (f && !f->text().isEmpty()) {
      value = std::min(255u, f->text().toUInt());
      ++filled;
    }
    address = (address << 8) | value;
  }
  return filled;
}

bool CIPAddressCtrl::IsBlank() const {
  std::uint32_t unused = 0;
  return GetAddress(unused) == 0;
}

void CIPAddressCtrl::ClearAddress() {
  m_quiet = true;
  for (int i = 0; i < 4; ++i)
    if (QLineEdit* f = Field(i)) f->clear();
  m_quiet = false;
}

LRESULT CIPAddressCtrl::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case IPM_CLEARADDRESS: ClearAddress(); return 0;
    case IPM_SETADDRESS: SetAddress(static_cast<std::uint32_t>(l)); return 1;
    case IPM_GETADDRESS: {
      std::uint32_t address = 0;
      const int filled = GetAddress(address);
      if (l) *reinterpret_cast<std::uint32_t*>(l) = address;
      return filled;
    }
    case IPM_ISBLANK: return IsBlank() ? 1 : 0;
    default: return CWnd::DefWindowProc(msg, w, l);
  }
}
