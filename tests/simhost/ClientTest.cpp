// The client and what hangs off it: plug-ins registry, notifications, server views, host
// processes, servers, client API.
#include "SimHostTestSupport.h"

#include "platform/Files.h"
#include "platform/os/Windows.h"

namespace tavix::sim::testing {
namespace {

using ClientTest = SimHostTest;

// A server view as a plug-in registers it: tells its name by DISPID 61.
class NamedView : public HostObject {
 public:
  explicit NamedView(std::string name) : FName(std::move(name)) {}

 protected:
  bool DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) override {
    if (id != 61) return false;
    SetResultString(result, FName);
    return true;
  }

 private:
  std::string FName;
};

TEST_F(ClientTest, WindowHandlesNameTheHostsLiveWindows) {
  const IClient client = HostClient();
  const int32_t application = client.GetApplicationHandle();
  const int32_t main = client.GetMainWindowHandle();
  ASSERT_TRUE(os::IsWindow(application));
  ASSERT_TRUE(os::IsWindow(main));
  EXPECT_NE(application, main);
  EXPECT_EQ(os::GetWindowOwner(main), application);
  // A message posted to the main window is delivered by the host's loop.
  int delivered = 0;
  os::SetWindowProc(main, [&](os::HWND w, os::UINT msg, os::WPARAM wp, os::LPARAM lp) -> os::LRESULT {
    if (msg == os::WM_USER + 7) ++delivered;
    return os::DefWindowProc(w, msg, wp, lp);
  });
  os::PostMessage(main, os::WM_USER + 7, 0, 0);
  Host.ProcessEvents();
  EXPECT_EQ(delivered, 1);
}

TEST_F(ClientTest, PluginsRegistryListsEveryExtensionWithItsDisabledFlag) {
  ScratchFolder first, second;
  Host.InstallExtension(first.Path());
  Host.InstallExtension(second.Path(), true);
  Host.InstallExtension(first.Path());  // installed already: no second entry

  const IPluginsRegistry registry = HostClient().GetPluginsRegistry();
  ASSERT_EQ(registry.GetCount(), 2);
  EXPECT_EQ(registry.GetItem(0).GetFolder(), first.Path());
  EXPECT_EQ(registry.GetItem(0).GetDisabled(), 0);
  EXPECT_EQ(registry.GetItem(1).GetFolder(), second.Path());
  EXPECT_NE(registry.GetItem(1).GetDisabled(), 0);
  EXPECT_THROW(registry.GetItem(2), EOleError);
  EXPECT_THROW(registry.GetItem(-1), EOleError);
  EXPECT_THROW(Host.InstallExtension(first.Path() + "missing"), ESimHostError);
}

TEST_F(ClientTest, NotificationsReachRegisteredHandlersOnly) {
  const IClient client = HostClient();
  const ComPtr<RecordingHandler> a = NewHandler(), b = NewHandler(), never = NewHandler();
  client.RegisterNotificationHandler(a->AsDispatch());
  client.RegisterNotificationHandler(b->AsDispatch());
  client.RegisterNotificationHandler(a->AsDispatch());  // once is enough

  EXPECT_EQ(Host.Broadcast(7, "corvane.opal.document"), 2);
  client.UnregisterNotificationHandler(a->AsDispatch());
  EXPECT_EQ(Host.Broadcast(9, "corvane.opal.tavix"), 1);

  ASSERT_EQ(a->Calls.size(), 1u);
  EXPECT_EQ(a->Calls[0].Code, 7);
  EXPECT_EQ(a->Calls[0].Category, "corvane.opal.document");
  ASSERT_EQ(b->Calls.size(), 2u);
  EXPECT_EQ(b->Calls[1].Code, 9);
  EXPECT_EQ(b->Calls[1].Category, "corvane.opal.tavix");
  EXPECT_TRUE(never->Calls.empty());
}

TEST_F(ClientTest, HandlerUnregisteredDuringABroadcastIsNotToldAnyMore) {
  const IClient client = HostClient();
  const ComPtr<RecordingHandler> first = NewHandler(), second = NewHandler();
  first->OnCall = [&](const Callback&) { client.UnregisterNotificationHandler(second->AsDispatch()); };
  client.RegisterNotificationHandler(first->AsDispatch());
  client.RegisterNotificationHandler(second->AsDispatch());
  EXPECT_EQ(Host.Broadcast(1, "corvane.opal.tavix"), 1);
  EXPECT_TRUE(second->Calls.empty());
}

TEST_F(ClientTest, RunProcessKeepsTheParametersAndHandsBackWhatTheProcessChanged) {
  Host.GetClient().RegisterProcess("FPGAFlow:FlowAction", [](std::string& parameters, IDispatch*) {
    parameters += "|Result=Done";
  });
  const IClient client = HostClient();
  std::string reset = "Target=HardDevice|Action=ResetDevice|Index=1";
  client.RunProcess("FPGAFlow:DeviceAction", reset);
  std::string flow = "Action=Build";
  client.RunProcess("fpgaflow:flowaction", flow);

  EXPECT_EQ(reset, "Target=HardDevice|Action=ResetDevice|Index=1");
  EXPECT_EQ(flow, "Action=Build|Result=Done");
  const std::vector<ProcessCall>& calls = Host.GetClient().ProcessCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Name, "FPGAFlow:DeviceAction");
  EXPECT_EQ(calls[0].Parameters, "Target=HardDevice|Action=ResetDevice|Index=1");
  EXPECT_FALSE(calls[0].Handled);
  EXPECT_FALSE(calls[0].HadView);
  EXPECT_EQ(calls[1].Parameters, "Action=Build");
  EXPECT_EQ(calls[1].ParametersAfter, "Action=Build|Result=Done");
  EXPECT_TRUE(calls[1].Handled);
}

TEST_F(ClientTest, RunProcessNeedsItsParametersByReference) {
  try {
    HostClient().Call(625, std::string("FPGAFlow:DeviceAction"), std::string("Action=ResetDevice"), nullptr);
    ADD_FAILURE() << "parameters by value accepted";
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
  }
  EXPECT_TRUE(Host.GetClient().ProcessCalls().empty());
}

TEST_F(ClientTest, ServerViewsAreFoundByTheNameTheyTell) {
  const IClient client = HostClient();
  const ComPtr<NamedView> pins = MakeHostObject<NamedView>("Pins Panel"), rack = MakeHostObject<NamedView>("Rack");
  client.AddServerView(pins->AsDispatch());
  client.AddServerView(rack->AsDispatch());
  ComPtr<IDispatch> holder;
  EXPECT_EQ(client.GetServerViewRaw("PINS PANEL", holder), pins->AsDispatch());
  EXPECT_EQ(client.GetServerViewRaw("Other", holder), nullptr);
  client.RemoveServerView(pins->AsDispatch());
  EXPECT_EQ(client.GetServerViewRaw("Pins Panel", holder), nullptr);
  EXPECT_EQ(Host.GetClient().ServerViews().size(), 1u);
  EXPECT_EQ(pins->RefCount(), 1);
}

TEST_F(ClientTest, ServersRunOnceStartedAndTheFlowServerHasTheVendorTools) {
  const IClient client = HostClient();
  EXPECT_FALSE(client.GetServerModule("PCB"));
  EXPECT_TRUE(client.StartServer("pcb"));
  EXPECT_TRUE(client.GetServerModule("PCB"));
  EXPECT_FALSE(client.StartServer("NoSuchServer"));

  Host.VendorTools().SetVendor("Altera", "Altera Quartus II", true);
  Host.VendorTools().SetToolPath("Altera", "Quartus_Cmd", "/opt/altera/quartus/bin/quartus_sh");
  const THostRecord tools(client.GetServerModule("FPGAFlow").Call(509009).AsDispatch());
  ASSERT_TRUE(tools);
  EXPECT_EQ(tools.Call(509004, std::string("altera"), std::string("Quartus_Cmd")).AsString(),
            "/opt/altera/quartus/bin/quartus_sh");
  EXPECT_TRUE(tools.Call(509002, std::string("Altera")).AsBool());
  EXPECT_TRUE(tools.Call(509003, std::string("Altera")).AsBool());
  EXPECT_EQ(tools.Call(509001, std::string("Altera")).AsString(), "Altera Quartus II");
  EXPECT_FALSE(tools.Call(509002, std::string("Xilinx")).AsBool());
  EXPECT_EQ(tools.Call(509001, std::string("Xilinx")).AsString(), "");
}

TEST_F(ClientTest, ClientAPIFoldersAreRealFoldersOfTheHost) {
  const IClientAPI api = HostClient().GetClientAPI();
  for (const DISPID id : {770, 773, 774, 787}) {
    const std::string folder = api.GetFolder(id);
    EXPECT_FALSE(folder.empty()) << id;
    EXPECT_EQ(folder.back(), '/') << id;
    EXPECT_TRUE(DirectoryExists(folder)) << id;
  }
  EXPECT_EQ(api.GetFolder(773).rfind(Data.Path(), 0), 0u);
}

TEST_F(ClientTest, ClientAPIHelpLockReportsAndCursor) {
  Host.API().AddHelpTopic("Device_Arria5GZ.Dlg.Viewer", "file:///help/viewer.html");
  Host.API().SetHelpPrefix("Device_Arria5GZ", "Tavix");
  const IClientAPI api = HostClient().GetClientAPI();
  std::string url = "unchanged";
  EXPECT_TRUE(api.GetHelpURL("device_arria5gz.dlg.viewer", url));
  EXPECT_EQ(url, "file:///help/viewer.html");
  url = "unchanged";
  EXPECT_FALSE(api.GetHelpURL("Unknown.Topic", url));
  EXPECT_EQ(url, "unchanged");
  EXPECT_EQ(api.GetHelpPrefix("Device_Arria5GZ"), "Tavix");
  EXPECT_EQ(api.GetHelpPrefix("Other"), "Other");

  EXPECT_FALSE(api.Query(793));
  Host.API().SetSuppressLockedFileReports(true);
  EXPECT_TRUE(api.Query(793));

  api.Call(791, -11);
  EXPECT_EQ(Host.API().CurrentCursor(), -11);
  api.Call(792);
  EXPECT_EQ(Host.API().CurrentCursor(), 0);
  ASSERT_EQ(Host.API().CursorCalls().size(), 2u);
  EXPECT_FALSE(Host.API().CursorCalls()[0].Restore);
  EXPECT_TRUE(Host.API().CursorCalls()[1].Restore);
}

TEST_F(ClientTest, ClientNamesItselfAndTellsWhenItShutsDown) {
  const IClient client = HostClient();
  EXPECT_EQ(client.Call(548).AsString(), "Tavix Host");
  EXPECT_FALSE(client.Call(504).AsBool());
  Host.GetClient().BeginShutdown();
  EXPECT_TRUE(client.Call(504).AsBool());
}

TEST_F(ClientTest, UnknownDispidIsNoMember) {
  try {
    HostClient().Call(123456);
    ADD_FAILURE();
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), DISP_E_MEMBERNOTFOUND);
  }
}

}  // namespace
}  // namespace tavix::sim::testing
