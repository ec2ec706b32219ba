// An indexed registry of object pointers, each with a parameter.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// UpdateParam and RemovePointer: done, an index outside the list, or a
// free entry.
enum GridPointerListResult { kListOk = 0, kListOutOfRange = 1, kListFreeEntry = 2 };

class CGridPointerList {
 public:
  using Extra = std::array<std::int32_t, 4>;
  [[nodiscard]] int AddPointer(void* pointer, std::int32_t param, const Extra* extra = nullptr);
  [[nodiscard]] int UpdateParam(int index, std::int32_t value);
  std::int32_t GetParam(int index) const;
  void* GetPointer(int index) const;
  // Frees one entry; its index may be handed out again.
  [[nodiscard]] int RemovePointer(int index);
  int GetCount() const { return m_used; }
  int GetMaxCount() const { return static_cast<int>(m_entries.size()); }
  void Empty();

 private:
  struct Entry {
    bool inUse = false;
    void* pointer = nullptr;
    std::int32_t param = 0;
    Extra extra{};
  };
  std::vector<Entry> m_entries;
  int m_used = 0;
};
