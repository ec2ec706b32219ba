// The switch report in its three layouts, byte for byte, and what happens
// when it cannot be written.
#include <filesystem>

#include "doc_fixture.h"
#include "tools/reportwriter.h"

namespace fwtest {
namespace {

std::string Expected(const std::string& name) {
  return ReadFile(std::string(FW_TEST_DATA) + "/" + name);
}

class Report : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    doc->SetPathName(dir.file("Plant.zcf"));
  }
  void Fill() {
    doc->AddNewConfig("Plant");
    doc->AddNewConfig("Yard");
    const int north = AddSwitch("North", "01:02:03", "QV-5KP-1");
    doc->SetSwitchConfigName(north, "Plant");
    CSwitchEntry modbus;
    modbus.CopyFrom(Switch(north));
    modbus.SetIP("10.0.0.1");
    modbus.SetModbusEnable(1);
    modbus.SetModbusAddress(17);
    doc->SetSwitchModbus(north, modbus);
    AddSwitch("Say \"Hi\"", "AB:CD:EF", "QV-9KP-1");
    const int gone = AddSwitch("Gone", "11:11:11");
    messages->QueueAnswer(IDYES);
    doc->DeleteSwitch(gone);
    const int muehle = AddSwitch("Mühle", "00:00:0A", "MW-6KP-1");
    doc->SetSwitchConfigName(muehle, "Yard");
    CSwitchEntry ip;
    ip.CopyFrom(Switch(muehle));
    ip.SetIP("192.168.100.200");
    doc->SetSwitchModbus(muehle, ip);
  }
};

TEST_F(Report, ThreeLayoutsByteForByte) {
  Fill();
  const CReportWriter writer(*doc);
  EXPECT_EQ(writer.Build(CReportWriter::kCsv, "01/02/2024"), Expected("report.csv"));
  EXPECT_EQ(writer.Build(CReportWriter::kTabDelimited, "01/02/2024"), Expected("report_tab.txt"));
  EXPECT_EQ(writer.Build(CReportWriter::kText, "01/02/2024"), Expected("report_text.txt"));
  const std::string path = dir.file("out.csv");
  std::string error;
  ASSERT_TRUE(writer.Write(path, CReportWriter::kCsv, "01/02/2024", &error)) << error;
  EXPECT_EQ(ReadFile(path), Expected("report.csv"));
}

TEST_F(Report, AProjectWithoutSwitchesHasItsHeadingsOnly) {
  const CReportWriter writer(*doc);
  EXPECT_EQ(writer.Build(CReportWriter::kCsv, "d"),
            "Switch Name,Type,MAC Address,Configuration,IP Address,Modbus Address\n");
  EXPECT_EQ(writer.Build(CReportWriter::kText, "d"),
            "Ring Switch Configurations      Plant.zcf     d\n\n"
            "Switch Name Type MAC Address Configuration IP Address Modbus Address\n");
  EXPECT_EQ(CReportWriter::Extension(CReportWriter::kCsv), ".csv");
  EXPECT_EQ(CReportWriter::Extension(CReportWriter::kTabDelimited), ".txt");
  EXPECT_EQ(CReportWriter::Today().size(), 10u);
}

TEST_F(Report, WriteFailuresAreReportedAndLeaveNoHalfReport) {
  Fill();
  const CReportWriter writer(*doc);
  std::string error;
  EXPECT_FALSE(writer.Write(dir.file("no/such/folder.csv"), CReportWriter::kCsv, "d", &error));
  EXPECT_NE(error.find("Failed to create the file."), std::string::npos) << error;
  // A device that takes nothing: the disk is full.
  error.clear();
  EXPECT_FALSE(writer.Write("/dev/full", CReportWriter::kText, "d", &error));
  EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

}  // namespace
}  // namespace fwtest
