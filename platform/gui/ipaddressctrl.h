// The IP address control: four fields of 0 to 255 in one frame. Typing a dot
// or a third digit moves on to the next field. Addresses are in host order
// (the first field is the highest byte); a control whose fields are all
// empty is blank.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gui/wnd.h"

class QLineEdit;

inline constexpr UINT IPM_CLEARADDRESS = WM_USER + 100;
inline constexpr UINT IPM_SETADDRESS = WM_USER + 101;  // lParam: the address
inline constexpr UINT IPM_GETADDRESS =
    WM_USER + 102;  // lParam: std::uint32_t*; returns the non-blank fields
inline constexpr UINT IPM_ISBLANK = WM_USER + 105;

class CIPAddressCtrl : public CWnd {
 public:
  void SetAddress(std::uint32_t address);
  void SetAddress(std::uint8_t f0, std::uint8_t f1, std::uint8_t f2, std::uint8_t f3);
  // The number of fields that are not blank; blank fields count as 0.
  int GetAddress(std::uint32_t& address) const;
  bool IsBlank() const;
  void ClearAddress();

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  QLineEdit* Field(int i) const;
  std::array<QLineEdit*, 4> m_fields{};
  bool m_quiet = false;
};
