// Tree list, property inspector, page control and image list, driven through the user's
// actions they offer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/TreeList.h"

using namespace tavix;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class GridsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    os::ResetWindowSystem();
    Form.reset(NewForm<TForm>(nullptr));
  }
  void TearDown() override {
    Form.reset();
    os::ResetWindowSystem();
  }
  TOwned<TForm> Form;
};

// A pins-table shape: two bands, a check column, an image column, pins with cell rows.
struct TPinTable {
  TTreeList* List;
  TImageList* Images;
  TTreeListColumn* Name;
  TTreeListColumn* Live;
  TTreeListColumn* Value;
  TTreeListColumn* Port;
  TTreeListNode* Pin1;
  TTreeListNode* Cell;
  TTreeListNode* Pin2;

  explicit TPinTable(TForm* form) {
    List = new TTreeList(form);
    List->SetParent(form);
    List->MultiSelect = true;
    List->AddBand("From JTAG Device: EP5AGZ");
    List->AddBand("Linked By");
    Images = new TImageList(form, 18, 18);
    for (const char* n : {"low", "high", "toggling"}) Images->Add(TImageData{n, std::vector<uint32_t>(18 * 18, 0)});
    Name = List->CreateColumn("PinColumn_PinName", "Pin Name");
    Live = List->CreateColumn("PinColumn_LiveUpdate", "Enable Live Update", 0, TTreeListColumnKind::ckCheck);
    Live->ValueGrayed = "None";
    Value = List->CreateColumn("PinColumn_Value", "", 1, TTreeListColumnKind::ckImage);
    Value->Images = Images;
    Value->ImageItems = {{"0", 0, "0"}, {"1", 1, "1"}, {"2", 2, "Toggling"}};
    Port = List->CreateColumn("PinColumn_PortName", "Port Name", 1);
    Port->ReadOnly = true;

    Pin1 = List->Add();
    Pin1->SetValue(Name, "A1");
    Pin1->SetValue(Live, "True");
    Pin1->SetValue(Value, "1");
    Cell = Pin1->AddChild();
    Cell->SetValue(Name, "Cell 7");
    Cell->SetValue(Live, "None");
    Pin2 = List->Add();
    Pin2->SetValue(Name, "B2");
    Pin2->SetValue(Live, "False");
    Pin2->SetValue(Value, "2");
  }
};

TEST_F(GridsTest, TreeListCellsShowChecksImagesAndText) {
  TPinTable t(Form.get());
  EXPECT_EQ(t.List->AbsoluteCount(), 3);
  EXPECT_EQ(t.Cell->Parent(), t.Pin1);
  EXPECT_TRUE(t.Pin1->IsTopLevel());
  EXPECT_EQ(t.Cell->Level(), 1);
  EXPECT_EQ(t.Value->DisplayImage(t.Pin2->Values(t.Value)), 2);
  EXPECT_EQ(t.Pin2->Texts(t.Value), "Toggling");
  EXPECT_EQ(t.List->ColumnByName("pincolumn_value"), t.Value);

  t.Port->Visible = false;
  t.List->Bands(1).Caption = "Linked";
  t.List->SetFocusedNode(t.Pin2);
  EXPECT_EQ(t.List->DescribeGrid(),
            "[From JTAG Device: EP5AGZ] Pin Name; Enable Live Update;\n"
            "[Linked] ;\n"
            "  A1 | [x] | 1\n"
            "    Cell 7 | [-] | \n"
            "> B2 | [ ] | Toggling\n");
}

TEST_F(GridsTest, TreeListEditsGoThroughEditingAndChangeEvents) {
  TPinTable t(Form.get());
  std::vector<std::string> log;
  t.List->OnEditing = [&](TObject*, TTreeListNode* node, TTreeListColumn*, bool& allow) {
    allow = node->IsTopLevel();  // not on cell rows
  };
  t.List->OnEditValueChanged = [&](TObject*, TTreeListNode* node, TTreeListColumn* column) {
    log.push_back(node->Values(t.Name) + ":" + column->Caption + "=" + node->Values(column));
  };
  EXPECT_TRUE(t.List->ToggleCheck(t.Pin1, t.Live));
  EXPECT_TRUE(t.List->ToggleCheck(t.Pin1, t.Live));
  EXPECT_FALSE(t.List->ToggleCheck(t.Cell, t.Live)) << "refused by OnEditing";
  EXPECT_FALSE(t.List->EditValue(t.Pin1, t.Port, "x")) << "read-only column";
  EXPECT_FALSE(t.List->ToggleCheck(t.Pin1, t.Name)) << "no check column";
  EXPECT_TRUE(t.List->EditValue(t.Pin2, t.Name, "B3"));
  t.List->SetEnabled(false);
  EXPECT_FALSE(t.List->EditValue(t.Pin2, t.Name, "B4"));
  EXPECT_THAT(log, ElementsAre("A1:Enable Live Update=False", "A1:Enable Live Update=True", "B3:Pin Name=B3"));
  EXPECT_EQ(t.Cell->Values(t.Live), "None");
}

TEST_F(GridsTest, TreeListSelectionFocusAndDeletion) {
  TPinTable t(Form.get());
  int selectionEvents = 0;
  t.List->OnSelectionChanged = [&](TObject*) { ++selectionEvents; };
  t.List->ClickNode(t.Pin1);
  t.List->ClickNode(t.Pin2, true);
  t.List->ClickNode(t.Cell, true);
  EXPECT_EQ(t.List->SelectionCount(), 3);
  t.List->ClickNode(t.Pin2, true);  // toggles out
  EXPECT_EQ(t.List->SelectionCount(), 2);
  EXPECT_EQ(t.List->FocusedNode(), t.Pin2);

  t.Pin1->Delete();  // takes its cell row with it
  EXPECT_EQ(t.List->SelectionCount(), 0) << "deleted rows leave the selection";
  EXPECT_EQ(t.List->Count(), 1);
  EXPECT_EQ(selectionEvents, 5);

  t.List->MultiSelect = false;
  t.List->ClickNode(t.Pin2);
  t.List->ClickNode(t.Pin2, true);
  EXPECT_EQ(t.List->SelectionCount(), 1) << "single selection replaces";
  t.List->Clear();
  EXPECT_EQ(t.List->FocusedNode(), nullptr);
  EXPECT_EQ(t.List->SelectionCount(), 0);
}

TEST_F(GridsTest, TreeListArrowKeysMoveTheFocusOverExpandedRows) {
  TPinTable t(Form.get());
  Form->Show();
  t.List->SetFocus();
  auto key = [](uint16_t k) {
    os::KeyDown(k);
    os::ProcessMessages();
  };
  key(os::VK_DOWN);
  EXPECT_EQ(t.List->FocusedNode(), t.Pin1);
  key(os::VK_DOWN);
  EXPECT_EQ(t.List->FocusedNode(), t.Pin2) << "the collapsed cell row is skipped";
  t.Pin1->Expand(false);
  key(os::VK_UP);
  EXPECT_EQ(t.List->FocusedNode(), t.Cell);
  EXPECT_TRUE(t.List->Focused()) << "arrows stay in the list, they do not move between controls";
}

TEST_F(GridsTest, TreeListDrawingAsksTheEvent) {
  TPinTable t(Form.get());
  t.List->OnCustomDrawCell = [&](TObject*, TTreeListNode* node, TTreeListColumn*, TCellStyle& style) {
    if (node->Values(t.Live) == "False") style.TextColor = clGrayText;
  };
  EXPECT_EQ(t.List->CellStyle(t.Pin2, t.Name).TextColor, clGrayText);
  EXPECT_EQ(t.List->CellStyle(t.Pin1, t.Name).TextColor, clWindowText);
}

TEST_F(GridsTest, InspectorEditsAreValidatedByRowKind) {
  auto* inspector = new TInspector(Form.get());
  inspector->SetParent(Form.get());
  TInspectorRow* section = inspector->AddRow(TInspectorRowKind::rkCategory);
  section->Caption = "Fitter";
  TInspectorRow* effort = inspector->AddRow(TInspectorRowKind::rkPick, section);
  effort->Caption = "Effort";
  effort->Items = {"Unspecified", "Fast", "Standard"};
  effort->AllowEmpty = false;
  effort->Value = "Unspecified";
  TInspectorRow* seed = inspector->AddRow(TInspectorRowKind::rkSpin, section);
  seed->Caption = "Seed";
  seed->MinValue = 1;
  seed->MaxValue = 100;
  TInspectorRow* text = inspector->AddRow(TInspectorRowKind::rkText, section);
  text->Caption = "Name";
  std::vector<std::string> changes;
  for (TInspectorRow* r : {effort, seed, text}) r->OnChange = [&](TInspectorRow* row) { changes.push_back(row->Caption + "=" + row->Value); };

  struct Case {
    TInspectorRow* Row;
    std::string Value;
    bool Accepted;
  } cases[] = {
      {effort, "Fast", true},   {effort, "Quick", false}, {effort, "", false},
      {seed, "42", true},       {seed, "0", false},       {seed, "4.5", false},
      {seed, "x", false},       {text, "", true},         {section, "x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(inspector->EditValue(c.Row, c.Value), c.Accepted) << c.Row->Caption << " " << c.Value;
  EXPECT_THAT(changes, ElementsAre("Effort=Fast", "Seed=42", "Name="));

  text->ReadOnly = true;
  EXPECT_FALSE(inspector->EditValue(text, "y"));
  inspector->OnEditing = [](TObject*, TInspectorRow* row, bool& allow) { allow = row->Caption != "Seed"; };
  EXPECT_FALSE(inspector->EditValue(seed, "7"));
  EXPECT_EQ(seed->Value, "42");

  inspector->OnDrawValue = [](TObject*, TInspectorRow* row, TCellStyle& style) { style.Bold = row->Value != "Unspecified"; };
  EXPECT_TRUE(inspector->ValueStyle(effort).Bold);
  EXPECT_TRUE(inspector->CaptionStyle(section).Bold) << "category captions are bold";

  inspector->FullExpand();
  EXPECT_EQ(inspector->DescribeRows(),
            "+ Fitter\n"
            "  Effort = Fast {Unspecified,Fast,Standard}\n"
            "  Seed = 42\n"
            "  Name =  (read-only)\n");
  inspector->DeleteRow(section);
  EXPECT_EQ(inspector->RowCount(), 0);
}

TEST_F(GridsTest, PageControlShowsOnlyTheActivePageAndAsksBeforeChanging) {
  auto* pages = new TPageControl(Form.get());
  pages->SetParent(Form.get());
  pages->SetBounds(8, 498, 553, 204);
  auto* script = new TTabSheet(Form.get());
  script->SetCaption("Script");
  script->SetPageControl(pages);
  auto* cmd = new TTabSheet(Form.get());
  cmd->SetCaption("Command Line");
  cmd->SetPageControl(pages);
  EXPECT_EQ(pages->ActivePage(), script);
  EXPECT_TRUE(script->Visible());
  EXPECT_FALSE(cmd->Visible());
  EXPECT_EQ(script->BoundsRect(), TRect::FromBounds(0, TPageControl::kTabHeight, 553, 204 - TPageControl::kTabHeight));

  bool allow = false;
  int changes = 0;
  pages->OnChanging = [&](TObject*, bool& a) { a = allow; };
  pages->OnChange = [&](TObject*) { ++changes; };
  EXPECT_FALSE(pages->SelectPage(cmd));
  allow = true;
  EXPECT_TRUE(pages->SelectPage(cmd));
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_FALSE(script->Visible());
  pages->SetActivePage(script);
  EXPECT_EQ(changes, 1) << "the code's change fires no event";
  EXPECT_THAT(pages->Describe(), HasSubstr("tabs=[*Script|Command Line]"));

  Free(script);
  EXPECT_EQ(pages->PageCount(), 1);
  EXPECT_EQ(pages->ActivePage(), cmd) << "the remaining page takes over";
}

TEST_F(GridsTest, ImageListChecksImageSizes) {
  TImageList images(nullptr, 18, 18);
  EXPECT_EQ(images.Add(TImageData{"pin", std::vector<uint32_t>(18 * 18, 0xFF00FF00u)}), 0);
  EXPECT_EQ(images.Add(TImageData{"blank", {}}), 1);
  EXPECT_THROW(images.Add(TImageData{"wrong", std::vector<uint32_t>(16 * 16)}), EInvalidOperation);
  EXPECT_EQ(images.Count(), 2);
  EXPECT_EQ(images.Describe(), "TImageList 18x18 [0:pin, 1:blank]");
  TBitmap picture;
  ASSERT_TRUE(picture.SetSize(18, 18));
  picture.SetPixel(1, 0, 0x123456);
  EXPECT_EQ(images.AddBitmap(picture, "drawn"), 2);
  EXPECT_EQ(images.Image(2).Pixels[1], 0xFF123456u);
  EXPECT_EQ(images.Image(2).Pixels[18], 0xFF000000u);
  images.SetSize(16, 16);
  EXPECT_EQ(images.Count(), 0);
  EXPECT_THROW(images.AddBitmap(picture), EInvalidOperation);
}

}  // namespace
