#include "switch/cfgblock.h"

#include <algorithm>

#include "platform/format.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/cswitchcomm.h"
#include "switch/frames.h"

CCfgBlock::CCfgBlock() : m_map(17) {}

void CCfgBlock::AddRequest(int kind, std::uint16_t start, std::uint16_t length,
                           const std::uint8_t* bytes) {
  CAccessRequest r;
  r.nKind = static_cast<std::uint8_t>((kind == kEeromRead || kind == kEeromWrite) ? kind : 0);
  r.nStart = start;
  r.nLength = length;
  if (r.nKind == kEeromWrite && bytes != nullptr) r.data.assign(bytes, bytes + length);
  if (r.nKind == kEeromWrite) r.data.resize(length, 0);
  m_requests.push_back(std::move(r));
}

bool CCfgBlock::LookupByte(std::uint16_t address, std::uint8_t* value) const {
  auto it = m_map.find(address);
  if (it == m_map.end()) return false;
  *value = it->second;
  return true;
}

void CCfgBlock::StoreByte(std::uint16_t address, std::uint8_t value) {
  m_map[address] = value;
}

void CCfgBlock::CopyWordMapToBytes(std::vector<std::uint8_t>* bytes) const {
  for (const auto& [address, value] : m_map) {
    if (bytes->size() <= address) bytes->resize(std::size_t{address} + 1, 0);
    (*bytes)[address] = value;
  }
}

void CCfgBlock::Clear(bool clear_map) {
  m_requests.clear();
  m_frames.clear();
  if (clear_map) m_map.clear();
}

void CCfgBlock::SplitAndPack() {
  std::vector<CAccessRequest> entries;
  std::vector<std::size_t> owner;
  for (std::size_t ri = 0; ri < m_requests.size(); ++ri) {
    const auto& r = m_requests[ri];
    if (r.nLength <= kMaxEntryData) {
      owner.push_back(ri);
      CAccessRequest e = r;
      e.nDone = 0;
      e.text.clear();
      if (e.nKind != kEeromWrite) e.data.clear();
      entries.push_back(std::move(e));
      continue;
    }
    for (std::size_t done = 0; done < r.nLength; done += kMaxEntryData) {
      CAccessRequest e;
      e.nKind = r.nKind;
      e.nLength =
          static_cast<std::uint16_t>(std::min<std::size_t>(kMaxEntryData, r.nLength - done));
      e.nStart = static_cast<std::uint16_t>(r.nStart + done);
      if (r.nKind == kEeromWrite) {
        e.data.assign(r.data.begin() + static_cast<std::ptrdiff_t>(done),
                      r.data.begin() + static_cast<std::ptrdiff_t>(done + e.nLength));
      }
      entries.push_back(std::move(e));
      owner.push_back(ri);
    }
  }
  m_frames.clear();
  m_owners.clear();
  std::size_t used = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    auto& e = entries[i];
    const std::size_t size = 4 + e.nLength;
    if (m_frames.empty() || used + size > kMaxFrameEntries) {
      m_frames.emplace_back();
      m_owners.emplace_back();
      used = 0;
    }
    used += size;
    m_frames.back().push_back(std::move(e));
    m_owners.back().push_back(owner[i]);
  }
  for (auto& f : m_frames) f.push_back(CAccessRequest{});
  for (auto& r : m_requests) {
    r.nDone = 0;
    r.text.clear();
  }
}

std::vector<std::uint8_t> CCfgBlock::FrameBody(const std::vector<CAccessRequest>& frame) {
  std::vector<std::uint8_t> body(2, 0);  // status word
  for (const auto& e : frame) {
    if (e.nKind == kEeromEnd) break;
    body.push_back(e.nKind);
    body.push_back(static_cast<std::uint8_t>(e.nLength));
    body.push_back(static_cast<std::uint8_t>(e.nStart >> 8));
    body.push_back(static_cast<std::uint8_t>(e.nStart));
    for (std::size_t i = 0; i < e.nLength; ++i) {
      body.push_back(e.nKind == kEeromWrite && i < e.data.size() ? e.data[i] : 0);
    }
  }
  body.insert(body.end(), 4, 0);  // end marker
  return body;
}

int CCfgBlock::ReplyStatus(std::span<const std::uint8_t> reply) {
  if (reply.size() < 33) return kEeromReplyTooShort;
  return fw::frames::ReadBE16(&reply[31]);
}

void CCfgBlock::AppendLine(std::string* error, const std::string& text) const {
  if (error == nullptr) return;
  *error += cswitchcomm::FormatMacText(m_mac.data(), "", " ");
  *error += text;
  if (text.empty() || text.back() != '\n') *error += '\n';
}

int CCfgBlock::CheckReply(std::span<const std::uint8_t> reply, std::vector<CAccessRequest>* frame,
                          std::string* error) const {
  if (ReplyStatus(reply) == kEeromReplyInvalidRequest) {
    AppendLine(error, LoadResString(IDS_EEROM_INVALID_REQUEST));
    return kEeromInvalidRequest;
  }
  int result = kEeromOk;
  std::size_t pos = 33;
  int walked = 0;
  bool end_seen = false;
  while (pos < 31 + kReplyWindow) {
    // An entry header cut off by the end of the frame means the reply ended
    // without its end marker.
    if (pos + 4 > reply.size()) break;
    const std::uint8_t kind = reply[pos];
    const std::uint8_t len = reply[pos + 1];
    const std::uint16_t start = fw::frames::ReadBE16(&reply[pos + 2]);
    if (kind == 0 || len == 0) {
      end_seen = true;
      if (walked == 0) {
        AppendLine(error, LoadResString(IDS_EEROM_EMPTY_BLOCK));
        return kEeromEmptyReply;
      }
      break;
    }
    ++walked;
    auto match = std::find_if(frame->begin(), frame->end(), [&](const CAccessRequest& e) {
      return e.nKind != kEeromEnd && e.nKind == (kind & 0x03) && e.nLength == len &&
             e.nStart == start;
    });
    if (match == frame->end()) {
      AppendLine(error, LoadResString(IDS_EEROM_INVALID_BLOCK) + " " +
                            FormatRes(IDS_EEROM_ENTRY_DETAIL, kind, start, len) +
                            LoadResString(IDS_LINE_END));
      result = kEeromBadEntry;
    } else if (kind & 0x80) {
      match->nDone = 1;
      match->text.clear();
      if (match->nKind == kEeromRead) {
        const std::size_t from = std::min(reply.size(), pos + 4);
        const std::size_t to = std::min(reply.size(), pos + 4 + len);
        match->data.assign(reply.begin() + static_cast<std::ptrdiff_t>(from),
                           reply.begin() + static_cast<std::ptrdiff_t>(to));
      }
    } else if (kind & 0x40) {
      match->nDone = 0;
      match->text =
          FormatRes(IDS_EEROM_ENTRY_FAILED,
                    LoadResString(match->nKind == kEeromRead ? IDS_READ : IDS_WRITE), start, len);
      AppendLine(error, match->text);
    }
    pos += 4 + std::size_t{len};
  }
  if (!end_seen) {
    AppendLine(error, LoadResString(IDS_EEROM_NO_LAST_BLOCK));
    return kEeromNoEndMarker;
  }
  return result;
}

int CCfgBlock::StoreReadEntries(const std::vector<CAccessRequest>& frame, std::string* error) {
  for (const auto& e : frame) {
    if (e.nKind != kEeromRead || e.nDone != 1) continue;
    if (e.data.size() < e.nLength) {
      AppendLine(error, LoadResString(IDS_EEROM_UNKNOWN_ERROR));
      AppendLine(error, FormatRes(IDS_EEROM_POS_DETAIL, static_cast<int>(e.data.size()), e.nLength,
                                  static_cast<int>(e.data.size())));
      AppendLine(error, FormatRes(IDS_EEROM_CMD_DETAIL, e.nKind, e.nStart, e.nLength));
      return kEeromFailed;
    }
    for (std::size_t i = 0; i < e.nLength; ++i) {
      StoreByte(static_cast<std::uint16_t>(e.nStart + i), e.data[i]);
    }
  }
  return kEeromOk;
}

void CCfgBlock::RebuildReadRequests() {
  std::vector<int> all_done(m_requests.size(), 1);
  for (std::size_t f = 0; f < m_frames.size(); ++f) {
    for (std::size_t i = 0; i < m_owners[f].size(); ++i) {
      const auto& e = m_frames[f][i];
      auto& r = m_requests[m_owners[f][i]];
      if (e.nDone != 1) all_done[m_owners[f][i]] = 0;
      if (!e.text.empty()) r.text += r.text.empty() ? e.text : "\n" + e.text;
    }
  }
  for (std::size_t i = 0; i < m_requests.size(); ++i) m_requests[i].nDone = all_done[i];
  for (auto& r : m_requests) {
    if (r.nKind != kEeromRead) continue;
    r.data.assign(r.nLength, 0);
    for (std::size_t i = 0; i < r.nLength; ++i) {
      LookupByte(static_cast<std::uint16_t>(r.nStart + i), &r.data[i]);
    }
  }
}

int CCfgBlock::CheckAllDone(std::string* error) const {
  int result = kEeromOk;
  for (const auto& f : m_frames) {
    for (const auto& e : f) {
      if (e.nKind == kEeromEnd || e.nDone == 1) continue;
      result = kEeromEntryNotDone;
      if (e.text.empty()) {
        AppendLine(error, FormatRes(IDS_EEROM_ENTRY_UNCONFIRMED,
                                    LoadResString(e.nKind == kEeromRead ? IDS_READ : IDS_WRITE),
                                    e.nStart, e.nLength));
      }
    }
  }
  return result;
}
