// The column providers of the switch and configuration lists: small objects
// the grid's data store asks for the title of a column and for the text and
// colours of a record (a row's key: the index of the switch or the
// configuration in the project). They read the project through the document.
#pragma once

#include <memory>
#include <string>

#include "grid/griddatastore.h"
#include "platform/gui/gdi.h"

class CGridCellValue;
class IProjectDocument;
class CSwitchEntry;
class CSwitchConfig;

// Provider identifiers, one per column.
enum ItemTypeId : int {
  kItemConfigName = 0,
  kItemSwitchName = 100,
  kItemSwitchType = 101,
  kItemSwitchMac = 103,
  kItemSwitchConfig = 104,
  kItemSwitchModbus = 105,
};

class CItemTypeBase : public CGridColumnProvider {
 public:
  explicit CItemTypeBase(int id) : m_id(id) {}

  int GetId() const override { return m_id; }
  int GetKind() const override { return kText; }
  bool HasTitle() const override { return m_hasTitle != 0; }
  std::string GetTitle() const override { return {}; }
  // Loaded from the program's resources once, when the column asks for one.
  CBitmap* GetHeadingBitmap() const override;
  bool GetText(GridRecordKey, std::string&) const override { return false; }
  bool GetSecondInt(GridRecordKey, int& out) const override;
  // Texts compare without regard to letter case.
  int Compare(GridRecordKey a, GridRecordKey b) const override;

  void SetDocument(IProjectDocument* doc) { m_doc = doc; }
  IProjectDocument* GetDocument() const { return m_doc; }
  void SetHeadingBitmap(int resourceId) {
    m_hasBitmap = 1;
    m_bitmapId = resourceId;
  }
  void SetSecondInt(int value) {
    m_second = value;
    m_secondValid = 1;
  }

 protected:
  // The live switch (configuration) a key stands for, or none.
  const CSwitchEntry* SwitchOf(GridRecordKey key) const;
  const CSwitchConfig* ConfigOf(GridRecordKey key) const;

 private:
  int m_id;
  int m_hasTitle = 1;
  int m_hasBitmap = 0;
  int m_bitmapId = 0;
  mutable std::unique_ptr<CBitmap> m_bitmap;
  int m_second = 0;
  int m_secondValid = 0;
  IProjectDocument* m_doc = nullptr;
};

// Switch list: name, model, MAC suffix, configuration, Modbus.
class CSwitchNameItemType : public CItemTypeBase {
 public:
  CSwitchNameItemType() : CItemTypeBase(kItemSwitchName) {}
  std::string GetTitle() const override;
  bool GetText(GridRecordKey key, std::string& out) const override;
};

class CSwitchTypeItemType : public CItemTypeBase {
 public:
  CSwitchTypeItemType() : CItemTypeBase(kItemSwitchType) {}
  std::string GetTitle() const override;
  bool GetText(GridRecordKey key, std::string& out) const override;
};

class CSwitchMacItemType : public CItemTypeBase {
 public:
  CSwitchMacItemType() : CItemTypeBase(kItemSwitchMac) {}
  std::string GetTitle() const override;
  bool GetText(GridRecordKey key, std::string& out) const override;
};

// Yellow when the switch names no configuration, one the project does not
// hold, or one whose port count differs from the switch's.
class CSwitchConfigItemType : public CItemTypeBase {
 public:
  static constexpr COLORREF kWarningColour = RGB(255, 255, 0);
  CSwitchConfigItemType() : CItemTypeBase(kItemSwitchConfig) {}
  std::string GetTitle() const override;
  bool GetText(GridRecordKey key, std::string& out) const override;
  int GetColors(GridRecordKey key, fw::GridColor& back, fw::GridColor& text) const override;
};

class CSwitchModbusItemType : public CItemTypeBase {
 public:
  CSwitchModbusItemType() : CItemTypeBase(kItemSwitchModbus) {}
  std::string GetTitle() const override;
  bool GetText(GridRecordKey key, std::string& out) const override;
};

// Configuration list: the configuration's title.
class CConfigNameItemType : public CItemTypeBase {
 public:
  CConfigNameItemType() : CItemTypeBase(kItemConfigName) {}
  std::string GetTitle() const override;
  bool GetText(GridRecordKey key, std::string& out) const override;
};

namespace fw {
// The comparison both list grids sort plain cells with: flag 2 swaps the
// cells; data types 2, 3 and 5 compare numbers; a cell without text sorts
// after one with text; texts compare by byte value.
int CompareListCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags);
}  // namespace fw
