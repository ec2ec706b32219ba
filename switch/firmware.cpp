#include "switch/firmware.h"

#include <filesystem>
#include <vector>

#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/cfgblock.h"
#include "switch/configload.h"
#include "switch/firmware_checks.h"
#include "switch/srecord.h"
#include "switch/switchconfigstore.h"

namespace {

// The part number and hardware revision of the target switch.
struct Identity {
  std::string part;
  std::string revision;
};

// Reads identity bytes and revision text; false when the switch did not answer them.
bool ReadIdentity(cswitchcomm& comm, Identity* id, std::string* error) {
  CCfgBlock block;
  block.SetSwitchAddress(comm.Target());
  block.AddRequest(kEeromRead, eerom::kIdentity, eerom::kIdentitySize);
  block.AddRequest(kEeromRead, eerom::kRevision, eerom::kRevisionSize);
  if (comm.Run(block, error) != kEeromOk) return false;
  std::uint8_t bytes[6];
  for (int i = 0; i < 6; ++i)
    if (!block.LookupByte(static_cast<std::uint16_t>(eerom::kIdentity + i), &bytes[i]))
      return false;
  id->part = CSwitchConfigStore::PartNumberFromIdentity(bytes);
  id->revision.clear();
  for (int i = 0; i < eerom::kRevisionSize; ++i) {
    std::uint8_t b = 0;
    (void)block.LookupByte(static_cast<std::uint16_t>(eerom::kRevision + i), &b);  // 0 where unread
    id->revision += static_cast<char>(b);
  }
  return true;
}

// The model and revision checks: 0, or the id of the refusal's text.
unsigned CheckSwitch(const Identity& id, const std::string& lower_name, const std::string& word) {
  if (id.part.empty()) return IDS_INVALID_PART_ID;
  const std::string code = fw::SwitchModelCode(id.part);
  if (code.empty()) return IDS_FW_PORT_COUNT_UNKNOWN;
  if (!fw::FirmwareFitsModel(word, code)) return IDS_FW_NOT_COMPATIBLE;
  if (!fw::FirmwareFitsRevision(id.revision, lower_name)) return IDS_FW_NOT_COMPATIBLE;
  return 0;
}

}  // namespace

int SwitchLoadFirmwareOp(cswitchcomm& comm, const std::string& device, const std::string& path,
                         const std::string& shown_name, IOperationUi* ui_in, std::string* error) {
  IOperationUi& ui = ui_in ? *ui_in : OperationUi();
  const std::string mac = cswitchcomm::FormatMacText(comm.Target().data());
  auto line = [&](const std::string& text) {
    if (!error) return;
    *error += mac + " " + text;
    if (error->back() != '\n') *error += '\n';
  };
  // The refusals name the path itself: callers pass a part number or a title as the shown name.
  (void)shown_name;

  // The file first: a refusal found now costs the switch nothing.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    line(LoadResString(IDS_UNABLE_TO_ACCESS) + " " + path + ".");
    return kCommFailed;
  }
  std::vector<fw::SRecord> records;
  std::string file_error;
  if (!fw::ReadSRecordFile(path, &records, &file_error)) {
    line(file_error);
    return kCommFailed;
  }
  // Only the file's own name says what it is for; folders may be named anything.
  const std::string lower_name = fw::ToLowerAscii(fw::FirmwareFileBaseName(path));
  const std::string word = fw::FirmwarePortWord(lower_name);
  if (word.empty()) {
    line(LoadResString(IDS_FW_NAME_NO_PORT_COUNT));
    return kCommFailed;
  }

  std::uint8_t local[6];
  if (comm.CommOpenDevice(device, local, error) != kCommOk) return kCommFailed;
  struct Closer {
    cswitchcomm& c;
    ~Closer() { c.CommClose(); }
  } closer{comm};

  // A switch running its firmware tells its identity before it is stopped.
  Identity id;
  bool have_identity = ReadIdentity(comm, &id, nullptr);
  if (have_identity) {
    if (const unsigned refusal = CheckSwitch(id, lower_name, word)) {
      line(LoadResString(refusal));
      return kCommFailed;
    }
  }

  const int entered = comm.CommEnterBootMonitor(error);
  if (entered != kCommOk) return entered;

  // Steps under the progress dialog; it is gone before the restart.
  const int loaded = [&]() -> int {
    ui.ShowProgress(LoadResString(optext::kProgressTexts[optext::kLoadingFirmware]),
                    static_cast<int>(records.size()));
    struct ProgressCloser {
      IOperationUi& u;
      ~ProgressCloser() { u.HideProgress(); }
    } progress_closer{ui};

    // A switch already in its boot monitor could not be asked before.
    unsigned refusal = 0;
    if (!have_identity) {
      if (!ReadIdentity(comm, &id, error))
        refusal = IDS_FAILED_READ_PART_ID;
      else
        refusal = CheckSwitch(id, lower_name, word);
    }
    if (refusal != 0) {
      line(LoadResString(refusal));
      // Nothing was erased yet: do not leave a working switch in its boot
      // monitor. The load has failed whatever the restart says.
      (void)comm.ControlRequest(kControlRestart, 0, error);
      return kCommFailed;
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
      // Let the dialog paint; only its Cancel gets through.
      if (ui.PumpProgress()) {
        line(LoadResString(IDS_FIRMWARE_LOAD_CANCELLED));
        // Before the first block the old firmware is intact and can run again.
        if (i == 0) (void)comm.ControlRequest(kControlRestart, 0, error);
        return kCommFailed;
      }
      const std::vector<std::uint8_t> block = fw::SRecordBlockBytes(records[i]);
      const int r = comm.SendLoadBlock(block.data(), block.size(),
                                       fw::SRecordBlockPosition(i, records.size()), error);
      // Blocks already written stay; the switch waits in its boot monitor for another try.
      if (r < kCommOk) return r;
      ui.StepProgress();
    }
    return kCommOk;
  }();
  if (loaded != kCommOk) return loaded;
  const int restarted = comm.ControlRequest(kControlRestart, 0, error);
  return restarted;
}

bool TestCommEnterBootMonitor(cswitchcomm& comm, const std::string& device, std::string* box) {
  box->clear();
  if (device.empty()) return false;
  std::string error;
  std::uint8_t local[6];
  if (comm.CommOpenDevice(device, local, &error) != kCommOk) {
    std::string text = LoadResString(IDS_FAILED_OPEN_DEVICE);
    if (const std::string reason = fw::Trim(error); !reason.empty()) text += "\n\n" + reason;
    AfxMessageBox(text);
    return false;
  }
  const bool entered = comm.CommEnterBootMonitor(&error) == kCommOk;
  // The box tells what the restart said; the answer is whether it was entered.
  if (entered) (void)comm.ControlRequest(kControlRestart, 0, &error);
  comm.CommClose();
  std::string crlf;
  for (char c : error) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  *box = FormatRes(IDS_TEST_COMM_ERRORS, crlf);
  return entered;
}
