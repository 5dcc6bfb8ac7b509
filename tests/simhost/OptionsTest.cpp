// The options manager and its store: readers and writers per server, saved and loaded.
#include "SimHostTestSupport.h"

#include "platform/Files.h"

namespace tavix::sim::testing {
namespace {

using OptionsTest = SimHostTest;

TEST_F(OptionsTest, ReaderSeesWhatTheWriterWroteAndDefaultsOtherwise) {
  const IOptionsManager options = HostClient().GetOptionsManager();
  const IOptionsWriter writer = options.GetOptionsWriter("TavixManager");
  writer.WriteBoolean("Pin States Panel", "LiveUpdate", true);
  writer.WriteBoolean("Pin States Panel", "ShowUnused", false);

  const IOptionsReader reader = options.GetOptionsReader("tavixmanager");
  EXPECT_TRUE(reader.ReadBoolean("pin states panel", "liveupdate", false));
  EXPECT_FALSE(reader.ReadBoolean("Pin States Panel", "ShowUnused", true));
  EXPECT_TRUE(reader.ReadBoolean("Pin States Panel", "Absent", true));
  // Another server's options are its own.
  EXPECT_FALSE(options.GetOptionsReader("FPGAFlow").ReadBoolean("Pin States Panel", "LiveUpdate", false));
  // A reader does not write and a writer does not read.
  EXPECT_THROW(reader.Call(281, std::string("s"), std::string("k"), true), EOleError);
  EXPECT_THROW(writer.Call(273, std::string("s"), std::string("k"), true), EOleError);
}

TEST_F(OptionsTest, OptionsSurviveSaveAndLoadThroughTheHostsOptionsFile) {
  const std::string file = Data.Path() + "Options.xml";
  {
    OptionsStore store;
    store.WriteBoolean("TavixManager", "Pin States Panel", "LiveUpdate", true);
    store.SetValue("FPGAFlow", "Quartus", "Path", "/opt/quartus <13.1> & \"x\"");
    store.SaveToFile(file);
  }
  OptionsStore loaded;
  loaded.LoadFromFile(file);
  EXPECT_EQ(loaded.Count(), 2u);
  EXPECT_TRUE(loaded.ReadBoolean("TavixManager", "Pin States Panel", "LiveUpdate", false));
  EXPECT_EQ(loaded.Value("fpgaflow", "QUARTUS", "path"), "/opt/quartus <13.1> & \"x\"");
}

TEST(OptionsFile, HostReadsItAtStartAndWritesItAtShutDown) {
  ScratchFolder data;
  const std::string file = data.Path() + "Options.xml";
  {
    SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual, .OptionsFile = file});
    HostClient().GetOptionsManager().GetOptionsWriter("TavixManager").WriteBoolean("Pin States Panel", "LiveUpdate", true);
  }
  SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual, .OptionsFile = file});
  EXPECT_TRUE(HostClient().GetOptionsManager().GetOptionsReader("TavixManager").ReadBoolean("Pin States Panel",
                                                                                              "LiveUpdate", false));
}

TEST(OptionsFile, HostWithoutChangesLeavesTheFileAlone) {
  ScratchFolder data;
  const std::string file = data.Path() + "Options.xml";
  { SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual, .OptionsFile = file}); }
  EXPECT_FALSE(FileExists(file));
  {
    SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual, .OptionsFile = file});
    host.Options().WriteBoolean("TavixManager", "Panel", "Key", true);
  }
  ASSERT_TRUE(FileExists(file));
  {
    SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual, .OptionsFile = file});
    host.Options().WriteBoolean("TavixManager", "Panel", "Key", true);  // the same value again
    EXPECT_FALSE(host.Options().Modified());
  }
}

TEST_F(OptionsTest, ABrokenFileIsRefusedAndTheStoreKeepsItsValues) {
  OptionsStore& store = Host.Options();
  store.WriteBoolean("TavixManager", "Panel", "Kept", true);
  const std::vector<std::string> broken = {
      "<Options><Option Server='a' Key='k' Value='1'>",         // not well formed
      "<Settings/>",                                             // wrong root
      "<Options><Option Section='s' Key='k' Value='1'/></Options>",  // no server
      "<Options><Option Server='a' Section='s' Key='k'/></Options>",  // no value
  };
  for (const std::string& text : broken) {
    const std::string file = Data.Path() + "broken.xml";
    ASSERT_TRUE(WriteFileAtomically(file, text));
    EXPECT_THROW(store.LoadFromFile(file), ESimHostError) << text;
    EXPECT_EQ(store.Count(), 1u) << text;
  }
  EXPECT_THROW(store.LoadFromFile(Data.Path() + "missing.xml"), ESimHostError);
  EXPECT_TRUE(store.ReadBoolean("TavixManager", "Panel", "Kept", false));
}

TEST_F(OptionsTest, SavingWhereNoFileCanBeWrittenFailsWithoutLeavingOne) {
  Host.Options().WriteBoolean("TavixManager", "Panel", "Key", true);
  const std::string file = Data.Path() + "no-such-folder/Options.xml";
  EXPECT_THROW(Host.Options().SaveToFile(file), ESimHostError);
  EXPECT_FALSE(FileExists(file));
}

}  // namespace
}  // namespace tavix::sim::testing
