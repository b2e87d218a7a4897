// The list logic (rows, highlight, selection, scrolling), the image grid and the toolbar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/align.h"
#include "engine/core/color.h"
#include "engine/gui/image_list_sys_ctrl.h"
#include "engine/gui/list_ctrl.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/toolbar_sys_ctrl.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "tests/engine/gui/gui_fixture.h"

namespace {

using vektest::RecordingFunction;
using vektest::WndMsg;
using Strings = std::vector<std::string>;
using Indices = std::vector<unsigned>;

// A row that logs the events the list hands it ("name:code") and its deletion ("~name").
class RowProbe : public vek::cImageCtrl {
 public:
  RowProbe(const std::string& name, Strings* log) : vek::cImageCtrl(name, nullptr), m_Log(log) {}
  ~RowProbe() override { m_Log->push_back("~" + GetName()); }
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override {
    m_Log->push_back(GetName() + ":" + std::to_string(code));
    return vek::cImageCtrl::OnEvent(code, p1, p2);
  }

 private:
  Strings* m_Log;
};

class ListTest : public vektest::GuiWindowFixture {
 protected:
  // A list at (x, y, w, h) with rows of the item height named r0, r1, ...
  template <class List = vek::cListCtrl>
  List* MakeList(vek::rectf r, float itemH, unsigned rows) {
    auto* list = new List("list", wnd);
    list->SetPos(r.x, r.y, 0);
    list->SetSize(r.w, r.h, 0);
    list->SetSize(r.w, itemH, vek::cCtrl::e_lstItems);
    for (unsigned i = 0; i < rows; ++i) list->AddItem(i, new RowProbe("r" + std::to_string(i), &rowLog), 100 + i);
    rowLog.clear();
    return list;
  }
  Indices Selected(const vek::cListCtrl* list) const {
    Indices out;
    for (unsigned i = list->GetSelectedItem(0); i < list->GetItemCount(); i = list->GetSelectedItem(i + 1))
      out.push_back(i);
    return out;
  }
  // The p1 of every list notification so far.
  std::vector<vek::u32> Chosen() const {
    std::vector<vek::u32> out;
    for (const WndMsg& m : log)
      if (m.message == vek::e_ntfListChoose) out.push_back(m.p1);
    return out;
  }
  bool Press(int x, int y) {
    const bool taken = gui->OnMouseButton(false, 0, x, 768 - y);
    gui->OnMouseButton(true, 0, x, 768 - y);
    return taken;
  }
  // Quads a control's Draw appends to the engine's batch.
  unsigned DrawnQuads(vek::cCtrl* c) {
    vek::cQuadBatch* batch = game->GetQuadBatch();
    batch->Clear();
    vek::DrawQuad(batch, 0, vek::rectf{0, 0, 1, 1}, vek::rectf{0, 0, 1, 1}, 0xFFFFFFFF);
    const unsigned perQuad = batch->GetVertexCount();
    batch->Clear();
    c->Draw();
    return perQuad ? batch->GetVertexCount() / perQuad : 0;
  }

  Strings rowLog;
};

TEST_F(ListTest, SelectItemChangesMarksAndNotifiesAtOnceAsTheModeSays) {
  struct Case {
    const char* what;
    bool multi;
    Indices before;  // rows marked first
    int disabled;    // row with e_Disabled, -1 none
    unsigned index;
    bool select, notify;
    std::vector<vek::u32> sent;
    Indices after;
  };
  const Case cases[] = {
      {"single: another row, the old one first", false, {0}, -1, 2, true, true, {0, 2}, {2}},
      {"single: first selection", false, {}, -1, 2, true, true, {2}, {2}},
      {"single: the selected row again", false, {2}, -1, 2, true, true, {}, {2}},
      {"single: deselect", false, {2}, -1, 2, false, true, {2}, {}},
      {"single: deselect an unselected row", false, {0}, -1, 2, false, true, {}, {0}},
      {"single: without notify", false, {0}, -1, 2, true, false, {}, {2}},
      {"single: disabled row", false, {0}, 2, 2, true, true, {}, {0}},
      {"single: disabled selected row", false, {2}, 2, 2, false, true, {}, {2}},
      {"single: past the end", false, {0}, -1, 3, true, true, {}, {0}},
      {"multi: adds to the selection", true, {0}, -1, 2, true, true, {2}, {0, 2}},
      {"multi: already selected", true, {0}, -1, 0, true, true, {}, {0}},
      {"multi: deselect", true, {0, 2}, -1, 0, false, true, {0}, {2}},
      {"multi: without notify", true, {}, -1, 1, true, false, {}, {1}},
      {"multi: disabled row", true, {0}, 1, 1, true, true, {}, {0}},
      {"multi: past the end", true, {}, -1, 7, true, true, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* list = MakeList({0, 0, 100, 60}, 20, 3);
    list->SetMultiselect(c.multi);
    for (unsigned i : c.before) list->GetItem(i)->EnableState(vek::cListCtrl::kSelected);
    if (c.disabled >= 0) list->GetItem(static_cast<unsigned>(c.disabled))->EnableState(vek::cCtrl::e_Disabled);
    log.clear();
    list->SelectItem(c.index, c.select, c.notify);
    // Sent at once with the list's id, nothing queued.
    EXPECT_EQ(Chosen(), c.sent);
    for (const WndMsg& m : Messages(vek::e_ntfListChoose)) EXPECT_EQ(m.p2, list->GetID());
    EXPECT_EQ(gui->GetQueuedCount(), 0u);
    EXPECT_EQ(Selected(list), c.after);
    delete list;
  }
}

TEST_F(ListTest, ClicksHighlightAndSelectThroughTheWindow) {
  // Rows 20 high from the top: r0 at y 140, r1 at 120, r2 at 100.
  auto* list = MakeList({100, 100, 200, 60}, 20, 3);
  gui->ShowWindow("w");
  log.clear();
  MoveTo(150, 145);
  EXPECT_EQ(list->GetHighlight(), 0);
  EXPECT_EQ(rowLog, (Strings{"r0:32", "r0:5"}));
  EXPECT_EQ(Messages(32), (std::vector<WndMsg>{{wnd->GetID(), 32, 0, list->GetID()}}));  // the list itself
  EXPECT_TRUE(Press(150, 145));
  EXPECT_EQ(Chosen(), (std::vector<vek::u32>{0}));
  Press(150, 145);  // the selected row of a single-selection list: nothing
  EXPECT_EQ(Chosen(), (std::vector<vek::u32>{0}));
  rowLog.clear();
  MoveTo(150, 125);
  EXPECT_EQ(rowLog, (Strings{"r0:33", "r1:32", "r1:5"}));
  Press(150, 125);
  EXPECT_EQ(Chosen(), (std::vector<vek::u32>{0, 0, 1}));  // lost, then gained
  EXPECT_EQ(Selected(list), (Indices{1}));
  // Multiple selection: a click toggles the row.
  list->SetMultiselect(true);
  Press(150, 125);
  EXPECT_EQ(Selected(list), Indices{});
  Press(150, 125);
  MoveTo(150, 105);
  Press(150, 105);
  EXPECT_EQ(Selected(list), (Indices{1, 2}));
  // Leaving the list clears the highlight and tells the window.
  rowLog.clear();
  MoveTo(500, 500);
  EXPECT_EQ(list->GetHighlight(), -1);
  EXPECT_EQ(rowLog, (Strings{"r2:33"}));
  EXPECT_EQ(Messages(33).back(), (WndMsg{wnd->GetID(), 33, 0, list->GetID()}));
  EXPECT_TRUE(list->OnEvent(vek::cCtrl::e_evChar, 'a', 0));  // only characters go on
  EXPECT_FALSE(list->OnEvent(vek::cCtrl::e_evTimer, 30, 0));
}

TEST_F(ListTest, VisibleRowsArePlacedFromTheTopAndDrawn) {
  // 65 / 20: three rows fit.
  auto* list = MakeList({10, 20, 50, 65}, 20, 5);
  EXPECT_EQ(list->GetVisibleCount(), 3u);
  const float tops[] = {65, 45, 25};
  for (unsigned i = 0; i < 3; ++i) {
    const vek::rectf r = list->GetItem(i)->GetRect();
    EXPECT_EQ(r.x, 10.0f);
    EXPECT_EQ(r.y, tops[i]);
    EXPECT_EQ(r.w, 50.0f);
    EXPECT_EQ(r.h, 20.0f);
  }
  EXPECT_EQ(list->GetItem(3)->GetRect().w, 0.0f);  // not placed
  EXPECT_EQ(DrawnQuads(list), 3u);
  EXPECT_TRUE(list->IsVisible(2));
  EXPECT_FALSE(list->IsVisible(3));

  list->SetFirstVisible(5);  // not a row: ignored
  EXPECT_EQ(list->GetFirstVisible(), 0u);
  list->SetFirstVisible(3);
  EXPECT_EQ(list->GetItem(3)->GetRect().y, 65.0f);
  EXPECT_EQ(DrawnQuads(list), 2u);  // rows 3 and 4 only

  // An index past the end appends; inserting before the first visible row shifts what shows.
  list->AddItem(99, new RowProbe("end", &rowLog), 7);
  EXPECT_EQ(list->GetItem(5)->GetName(), "end");
  EXPECT_EQ(list->GetItemData(5), 7u);
  list->AddItem(0, new RowProbe("front", &rowLog), 1);
  EXPECT_EQ(list->GetItem(list->GetFirstVisible())->GetName(), "r2");
  EXPECT_EQ(list->GetItem(3)->GetRect().y, 65.0f);

  // Lower than one row: nothing is placed, drawn or hit.
  list->SetSize(50, 10, 0);
  EXPECT_EQ(list->GetVisibleCount(), 0u);
  EXPECT_EQ(DrawnQuads(list), 0u);
  list->OnEvent(vek::cCtrl::e_evMouseMove, 0, vek::PackPosition(20, 25));
  EXPECT_EQ(list->GetHighlight(), -1);
  EXPECT_FALSE(list->IsVisible(list->GetFirstVisible()));
}

TEST_F(ListTest, EnsureVisibleScrollsAsLittleAsNeeded) {
  struct Case {
    float h;  // list height with rows 20 high
    unsigned first, index, expected;
  };
  const Case cases[] = {
      {60, 0, 0, 0},  {60, 0, 2, 0}, {60, 0, 3, 1},   {60, 0, 9, 7},  {60, 5, 2, 2},
      {60, 5, 7, 5},  {60, 5, 8, 6}, {60, 5, 10, 8},  // the count itself is accepted
      {60, 5, 11, 5},                                  // past the count: ignored
      {10, 0, 4, 5},                                   // no row fits: first passes the row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "h " << c.h << " first " << c.first << " index " << c.index);
    auto* list = MakeList({0, 0, 50, c.h}, 20, 10);
    list->SetFirstVisible(c.first);
    list->EnsureVisible(c.index);
    EXPECT_EQ(list->GetFirstVisible(), c.expected);
    delete list;
  }
}

TEST_F(ListTest, EmptyListsAndDeletion) {
  auto* list = MakeList({0, 0, 50, 60}, 20, 0);
  EXPECT_EQ(list->GetSelectedItem(0), 0u);
  EXPECT_EQ(list->GetItemData(3), 0u);
  EXPECT_FALSE(list->IsSelectedItem(0));
  EXPECT_EQ(DrawnQuads(list), 0u);
  list->DeleteItem(0);  // nothing there

  for (unsigned i = 0; i < 6; ++i) list->AddItem(i, new RowProbe("r" + std::to_string(i), &rowLog), i);
  list->SetItemData(1, 42);
  list->SetItemData(9, 42);  // past the end: nothing
  EXPECT_EQ(list->GetItemData(1), 42u);
  list->DeleteItem(1);  // the row's control goes with it
  EXPECT_EQ(rowLog, (Strings{"~r1"}));
  EXPECT_EQ(list->GetItemCount(), 5u);
  EXPECT_EQ(list->GetItem(1)->GetName(), "r2");
  EXPECT_EQ(list->GetItem(1)->GetRect().y, 20.0f);  // moved up a row

  // Emptying keeps the first visible row: a refilled list shows from there until scrolled.
  list->SetFirstVisible(3);
  rowLog.clear();
  list->DeleteAllItems();
  EXPECT_EQ(rowLog.size(), 5u);
  EXPECT_EQ(list->GetItemCount(), 0u);
  EXPECT_EQ(list->GetFirstVisible(), 3u);
  for (unsigned i = 0; i < 5; ++i) list->AddItem(i, new RowProbe("n" + std::to_string(i), &rowLog), i);
  EXPECT_EQ(DrawnQuads(list), 2u);
  list->SetFirstVisible(0);
  EXPECT_EQ(DrawnQuads(list), 3u);

  // Rows the list cannot own are refused.
  auto* placed = new vek::cImageCtrl("placed", wnd);
  list->AddItem(0, placed, 0);
  list->AddItem(0, nullptr, 0);
  EXPECT_EQ(list->GetItemCount(), 5u);
  EXPECT_NE(LogText().find("AddItem: control &#39;placed&#39; belongs to a window"), std::string::npos)
      << LogText();
}

TEST_F(ListTest, HighlightStaysWithItsRowWhenRowsComeAndGo) {
  auto* list = MakeList({0, 0, 100, 80}, 20, 4);  // r0 at y 60 ... r3 at y 0
  gui->ShowWindow("w");
  MoveTo(50, 25);  // r2
  ASSERT_EQ(list->GetHighlight(), 2);
  list->DeleteItem(0);
  EXPECT_EQ(list->GetHighlight(), 1);
  EXPECT_EQ(list->GetItem(1)->GetName(), "r2");
  // An insert keeps the index: the row now under it is entered, the one that had it left.
  rowLog.clear();
  list->AddItem(0, new RowProbe("new", &rowLog), 0);
  EXPECT_EQ(list->GetHighlight(), 1);
  EXPECT_EQ(rowLog, (Strings{"r2:33", "r1:32"}));
  list->AddItem(3, new RowProbe("after", &rowLog), 0);  // after it: unchanged
  list->DeleteItem(3);
  list->DeleteItem(3);
  EXPECT_EQ(list->GetHighlight(), 1);
  // The row that got the enter event gets the leave event.
  rowLog.clear();
  MoveTo(500, 500);
  EXPECT_EQ(rowLog, (Strings{"r1:33"}));
  // Deleting the highlighted row clears the highlight; the last row can go too.
  MoveTo(50, 25);
  const int last = list->GetHighlight();
  ASSERT_EQ(last, static_cast<int>(list->GetItemCount()) - 1);
  list->DeleteItem(0);
  list->DeleteItem(static_cast<unsigned>(list->GetHighlight()));
  EXPECT_EQ(list->GetHighlight(), -1);
  log.clear();
  Press(50, 25);  // no row to address: no notification
  EXPECT_EQ(Chosen(), std::vector<vek::u32>{});
}

TEST_F(ListTest, ImageGridFillsRowsFromTheTopLeftAndFollowsTheCursor) {
  // 100 wide with 30 x 30 cells: three to a row; 60 high: two rows.
  auto* grid = new vek::cImageListSysCtrl("grid", wnd);
  grid->SetPos(10, 10, 0);
  grid->SetSize(100, 60, 0);
  grid->SetSize(30, 30, vek::cCtrl::e_lstItems);
  EXPECT_EQ(grid->GetVisibleCount(), 6u);
  for (unsigned i = 0; i < 7; ++i) grid->InsertItem(i, "cursor_pointer", vek::rectf{0.5f, 0.25f, 0.5f, 0.75f}, i);
  const vek::vec2 places[] = {{10, 40}, {40, 40}, {70, 40}, {10, 10}, {40, 10}, {70, 10}};
  for (unsigned i = 0; i < 6; ++i) {
    const vek::rectf r = grid->GetItem(i)->GetRect();
    EXPECT_EQ(vek::vec2(r.x, r.y), places[i]) << "cell " << i;
    EXPECT_EQ(r.w, 30.0f);
  }
  auto* cell = static_cast<vek::cImageCtrl*>(grid->GetItem(0));
  EXPECT_EQ(cell->GetUVRect().x, 0.5f);
  EXPECT_EQ(cell->GetUVRect().h, 0.75f);
  EXPECT_EQ(grid->GetItem(6)->GetRect().w, 0.0f);  // the seventh is not shown
  EXPECT_EQ(DrawnQuads(grid), 6u);
  EXPECT_STREQ(grid->GetClassName(), "cImageListSysCtrl");

  // Cells counted as squares of the item height; the step across is the item width.
  grid->SetSize(40, 30, vek::cCtrl::e_lstItems);
  EXPECT_EQ(grid->GetVisibleCount(), 6u);
  EXPECT_EQ(grid->GetItem(2)->GetRect().x, 10.0f);  // 90 + 40 passes the right edge at 110
  grid->SetSize(30, 30, vek::cCtrl::e_lstItems);

  // Placing the cells again looks at the real cursor: client (45, 723) is GUI (45, 45), cell 1.
  window->cursorX = 45;
  window->cursorY = 723;
  grid->SetPos(10, 10, 0);
  EXPECT_EQ(grid->GetHighlight(), 1);
  window->cursorY = 743;  // GUI y 25: cell 4
  window->cursorKnown = false;  // unreadable: the last point read stands
  grid->SetPos(10, 10, 0);
  EXPECT_EQ(grid->GetHighlight(), 1);
  window->cursorKnown = true;
  grid->SetPos(10, 10, 0);
  EXPECT_EQ(grid->GetHighlight(), 4);
  window->cursorX = 500;
  grid->SetPos(10, 10, 0);
  EXPECT_EQ(grid->GetHighlight(), -1);
  // Selection is the list's.
  grid->SelectItem(3, true, true);
  EXPECT_EQ(Chosen(), (std::vector<vek::u32>{3}));
}

TEST_F(ListTest, ToolbarClickTellsTheWindowAtOnceAndSelectsNothing) {
  auto* bar = new vek::cToolbarSysCtrl("bar", wnd);
  bar->SetPos(0, 0, 0);
  bar->SetSize(90, 30, 0);
  bar->SetSize(30, 30, vek::cCtrl::e_lstItems);
  for (unsigned i = 0; i < 3; ++i) bar->InsertItem(i, "tool", vek::rectf{0, 0, 1, 1}, i);
  bar->GetItem(1)->EnableState(vek::cCtrl::e_Disabled);
  gui->ShowWindow("w");
  MoveTo(15, 15);
  log.clear();
  EXPECT_TRUE(gui->OnMouseButton(false, 0, 15, 768 - 15));
  EXPECT_EQ(Messages(vek::e_ntfListChoose), (std::vector<WndMsg>{{wnd->GetID(), 53, 0, bar->GetID()}}));
  EXPECT_EQ(gui->GetQueuedCount(), 0u);
  EXPECT_EQ(Selected(bar), Indices{});
  gui->OnMouseButton(true, 0, 15, 768 - 15);
  // A disabled cell tells nothing, and the click is still taken.
  MoveTo(45, 15);
  ASSERT_EQ(bar->GetHighlight(), 1);
  log.clear();
  EXPECT_TRUE(gui->OnMouseButton(false, 0, 45, 768 - 15));
  gui->OnMouseButton(true, 0, 45, 768 - 15);
  EXPECT_EQ(Chosen(), std::vector<vek::u32>{});
  MoveTo(75, 15);
  log.clear();
  Press(75, 15);
  EXPECT_EQ(Chosen(), (std::vector<vek::u32>{2}));
  gui->Update(vek::kFixedStep);  // nothing was posted on top
  EXPECT_EQ(Chosen(), (std::vector<vek::u32>{2}));
  EXPECT_STREQ(bar->GetClassName(), "cToolbarSysCtrl");
}

TEST_F(ListTest, TextRowsTakeTheListsStyleAndColours) {
  auto* font = new vek::cFont("big");  // owned by the font manager
  font->Init("", "", 0, 12.0f);
  font->Char("a", 8, vek::recti{0, 0, 8, 12}, 0, 8);
  const vek::u32 red = vek::ColorFromFloats(1, 0, 0, 1), green = vek::ColorFromFloats(0, 1, 0, 1),
                 blue = vek::ColorFromFloats(0, 0, 1, 1);

  auto* list = MakeList<vek::cListSysCtrl>({100, 100, 200, 60}, 20, 0);
  list->SetColor(1, 0, 0, vek::cCtrl::e_lstNormal | vek::cCtrl::e_lstHighlight);  // both at once
  EXPECT_EQ(list->GetNormalColor(), red);
  EXPECT_EQ(list->GetHighlightColor(), red);
  list->SetColor(0, 1, 0, vek::cCtrl::e_lstHighlight);
  EXPECT_EQ(list->GetNormalColor(), red);
  list->InsertItem(0, "aa", 5);
  list->InsertItem(9, "aaa", 6);
  list->InsertItem(0, "a", 7);
  EXPECT_EQ(list->GetItemText(1), "aa");
  EXPECT_EQ(list->GetItemData(2), 6u);
  EXPECT_EQ(list->GetItemText(3), "");  // past the end
  list->SetItemText(2, "aaaa");
  list->SetItemText(3, "lost");
  EXPECT_EQ(list->GetItemText(2), "aaaa");
  EXPECT_EQ(list->GetItemCount(), 3u);
  auto* row = static_cast<vek::cListItemSysCtrl*>(list->GetItem(1));
  EXPECT_STREQ(row->GetClassName(), "cListItemSysCtrl");
  EXPECT_EQ(row->GetList(), list);
  EXPECT_EQ(row->GetColor(), red);
  EXPECT_TRUE(row->HitTest(299, 121));  // the whole row, not only its text

  // Rows added before the font is set take it, and keep their place in the list.
  list->SetFontPrt("big");
  EXPECT_EQ(row->GetFont(), vek::g_pFontManager->FindIndex("big"));
  EXPECT_EQ(row->GetRect().y, 120.0f);
  EXPECT_EQ(row->GetRect().w, 200.0f);
  EXPECT_EQ(row->GetTextRect().y, 124.0f);  // Left and Middle: (20 - 12) / 2 above the row's foot
  EXPECT_EQ(row->GetTextRect().w, 16.0f);
  list->SetAlign(vek::cAlign::Right | vek::cAlign::Top);
  EXPECT_EQ(row->GetTextRect().x, 284.0f);
  EXPECT_EQ(row->GetTextRect().y, 128.0f);
  list->InsertItem(3, "a", 0);
  auto* added = static_cast<vek::cListItemSysCtrl*>(list->GetItem(3));
  EXPECT_EQ(added->GetFont(), row->GetFont());
  EXPECT_EQ(added->GetAlign(), row->GetAlign());

  // The row under the cursor shows the highlight colour.
  gui->ShowWindow("w");
  MoveTo(150, 125);
  EXPECT_EQ(row->GetColor(), green);
  list->SetColor(0, 0, 1, vek::cCtrl::e_lstNormal);  // rows there keep theirs until left
  EXPECT_EQ(list->GetItem(0)->GetRect().y, 140.0f);
  EXPECT_EQ(static_cast<vek::cListItemSysCtrl*>(list->GetItem(0))->GetColor(), red);
  MoveTo(150, 145);
  EXPECT_EQ(row->GetColor(), blue);
  EXPECT_EQ(static_cast<vek::cListItemSysCtrl*>(list->GetItem(0))->GetColor(), green);
  list->InsertItem(9, "new", 0);
  EXPECT_EQ(static_cast<vek::cListItemSysCtrl*>(list->GetItem(4))->GetColor(), blue);
}

TEST_F(ListTest, SelectedTextRowsDrawTheSelectionFrameBehindThem) {
  new vek::cTexture("selection", 8, 8);  // owned by the texture manager
  const vek::u32 selection = vek::g_pTextureManager->FindIndex("selection");
  ASSERT_NE(selection, 0u);
  auto* list = MakeList<vek::cListSysCtrl>({100, 100, 200, 60}, 20, 0);
  for (unsigned i = 0; i < 3; ++i) list->InsertItem(i, "row", i);
  vek::cFrameCtrl& frame = list->GetSelectionFrame();
  list->SetTexture("selection", 0);  // not the frame's part: nothing
  EXPECT_EQ(frame.GetTexture(), 0u);
  list->SetTexture("selection", vek::cCtrl::e_lstSelection);
  EXPECT_EQ(frame.GetTexture(), selection);
  // The frame's border and its texture rectangle are set through the list.
  list->SetSize(4, 5, vek::cCtrl::e_lstSelection | vek::cCtrl::e_frmBorder);
  list->SetUVPos(0.5f, 0.25f, 0);
  list->SetUVSize(0.125f, 0.25f, vek::cCtrl::e_frmBorder);
  EXPECT_EQ(frame.GetBorder().x, 4.0f);
  EXPECT_EQ(frame.GetBorder().h, 0.25f);
  EXPECT_EQ(frame.GetUVRect().x, 0.5f);
  EXPECT_EQ(list->GetRect().w, 200.0f);  // the list keeps its size
  EXPECT_EQ(frame.GetRect().w, 200.0f);  // one row's size
  EXPECT_EQ(frame.GetRect().h, 20.0f);

  const unsigned plain = DrawnQuads(list);
  const unsigned frameQuads = DrawnQuads(&frame);
  ASSERT_GT(frameQuads, 0u);
  list->SelectItem(1, true, false);
  EXPECT_EQ(DrawnQuads(list), plain + frameQuads);
  EXPECT_EQ(frame.GetRect().x, 100.0f);  // moved behind the selected row
  EXPECT_EQ(frame.GetRect().y, 120.0f);
  // Its quads come before the row's text.
  vek::cQuadBatch* batch = game->GetQuadBatch();
  batch->Clear();
  list->GetItem(1)->Draw();
  EXPECT_EQ(batch->GetRecord(0).texture, selection);
}

}  // namespace
