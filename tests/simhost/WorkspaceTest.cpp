// Messages, output lines, projects and documents, reached through the host's entry points.
#include "SimHostTestSupport.h"

namespace tavix::sim::testing {
namespace {

using WorkspaceTest = SimHostTest;

TEST_F(WorkspaceTest, MessagesAreStoredWithEveryFieldAndListedInOrder) {
  const IOpalMessagesManager messages = HostClient().GetOpalWorkSpace().GetMessagesManager();
  messages.BeginUpdate();
  messages.AddMessage("ProcessFlowError", "Fit failed", "Quartus", "/work/top.vhd", "WorkspaceManager:OpenObject",
                      "FileName=/work/top.vhd", 71, true);
  messages.EndUpdate();
  messages.AddMessage("ProcessFlowInfo", "Done", "", "", "", "", 3, false);

  const std::vector<Message>& list = Host.Messages().Messages();
  ASSERT_EQ(list.size(), 2u);
  const Message& m = list[0];
  EXPECT_EQ(m.Class, "ProcessFlowError");
  EXPECT_EQ(m.Text, "Fit failed");
  EXPECT_EQ(m.Source, "Quartus");
  EXPECT_EQ(m.Document, "/work/top.vhd");
  EXPECT_EQ(m.CallbackProcess, "WorkspaceManager:OpenObject");
  EXPECT_EQ(m.CallbackParameters, "FileName=/work/top.vhd");
  EXPECT_EQ(m.ImageIndex, 71);
  EXPECT_TRUE(m.Flag);
  EXPECT_EQ(m.UpdateDepth, 1);
  EXPECT_EQ(list[1].Text, "Done");
  EXPECT_EQ(list[1].UpdateDepth, 0);
  EXPECT_EQ(Host.Messages().UpdateBrackets(), 1);
  EXPECT_EQ(Host.Messages().MessagesOfClass("processflowinfo").size(), 1u);
}

TEST_F(WorkspaceTest, ProjectWorkspaceSharesTheMessagesList) {
  HostWorkspace().GetMessagesManager().AddMessage("ProcessFlowWarning", "w", "", "", "", "", 0, false);
  ASSERT_EQ(Host.Messages().Messages().size(), 1u);
  EXPECT_EQ(Host.Messages().Messages()[0].Class, "ProcessFlowWarning");
}

TEST_F(WorkspaceTest, BadMessageCallsAreRefused) {
  const IOpalMessagesManager messages = HostClient().GetOpalWorkSpace().GetMessagesManager();
  EXPECT_THROW(messages.EndUpdate(), EOleError);
  try {
    messages.Call(439, std::string("ProcessFlowInfo"), std::string("short"));
    ADD_FAILURE() << "a short AddMessage was accepted";
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), DISP_E_BADPARAMCOUNT);
  }
  EXPECT_TRUE(Host.Messages().Messages().empty());
}

TEST_F(WorkspaceTest, OutputLinesCanBeReadBack) {
  const IWorkspace workspace = HostWorkspace();
  ASSERT_TRUE(workspace);
  EXPECT_EQ(workspace.GetOutputLineCount(), 0);
  workspace.AddOutputLine("Running Quartus II Fitter", false, false);
  workspace.AddOutputLine("---", true, false);
  EXPECT_EQ(workspace.GetOutputLineCount(), 2);
  const std::vector<OutputLine>& lines = Host.Projects().OutputLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].Text, "Running Quartus II Fitter");
  EXPECT_EQ(lines[1].Text, "---");
  EXPECT_TRUE(lines[1].Flag1);
}

TEST_F(WorkspaceTest, ProjectsAreFoundByPathWithTheirDocuments) {
  Project& project = Host.Projects().AddProject("/designs/board/board.prj");
  project.AddDocument("/designs/board/top.vhd", "VHDL");
  project.AddDocument("/designs/board/pins.txt");

  const IProject found = HostWorkspace().GetProjectByPath("/designs/board/./board.prj");
  ASSERT_TRUE(found);
  EXPECT_EQ(found.GetPath(), "/designs/board/board.prj");
  ASSERT_EQ(found.GetDocumentCount(), 2);
  EXPECT_EQ(found.GetDocument(1).GetPath(), "/designs/board/pins.txt");
  EXPECT_THROW(found.GetDocument(2), EOleError);
  // Paths keep their case on this platform.
  EXPECT_FALSE(HostWorkspace().GetProjectByPath("/designs/board/BOARD.prj"));
  EXPECT_EQ(HostClient().GetDocumentKind("/designs/board/board.prj"), "PCBPROJECT");
  EXPECT_EQ(HostClient().GetDocumentKind("/designs/board/top.vhd"), "VHDL");
  EXPECT_EQ(HostClient().GetDocumentKind("/elsewhere.vhd"), "");
}

TEST_F(WorkspaceTest, DocumentsRecordTheReplaceNoticesTheyReceive) {
  Document& document = Host.GetClient().OpenDocument("/designs/pins.csv", "TEXT");
  EXPECT_FALSE(HostClient().GetDocumentByPath("/designs/other.csv"));
  const IDocument found = HostClient().GetDocumentByPath("/designs/pins.csv");
  ASSERT_TRUE(found);
  found.BeginFileReplace();
  found.EndFileReplace();
  EXPECT_EQ(document.Notices(), (std::vector<int32_t>{100, 101}));
  HostClient().ShowDocument(found);
  EXPECT_EQ(Host.GetClient().ShownDocuments(), (std::vector<std::string>{"/designs/pins.csv"}));
}

}  // namespace
}  // namespace tavix::sim::testing
