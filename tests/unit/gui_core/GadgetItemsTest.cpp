#include <gtest/gtest.h>

#include "gui/core/Event.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "gui/core/GadgetPlaceholder.h"
#include "gui/core/Localization.h"
#include "tests/unit/gui_core/GadgetRecording.h"

namespace {

std::vector<String> Keys(std::initializer_list<const char*> texts) {
  std::vector<String> keys;
  for (const char* t : texts) keys.push_back(S(t));
  return keys;
}

std::vector<String> ItemTexts(const Ref<TGadget>& g) {
  std::vector<String> texts;
  for (int32_t i = 0; i < g->ItemCount(); ++i) texts.push_back(g->ItemText(i));
  return texts;
}

class GadgetItemsTest : public testing::Test {
 protected:
  void SetUp() override {
    GadgetInit();
    list = New<TRecordingGadget>(GadgetClassListBox);
  }
  void TearDown() override {
    list->CleanUp();
    LocalizationStoreMode(0);
    LocalizationStoreLanguage(String());
    LocalizationClearTexts();
  }

  void Fill(std::initializer_list<const char*> texts) {
    for (const char* t : texts) list->InsertItem(list->ItemCount(), S(t), String(), -1, nullptr, 0);
    list->calls.clear();
  }

  Ref<TRecordingGadget> list;
};

TEST_F(GadgetItemsTest, InsertSetAndRemoveKeepTheModelAndTheWidgetInStep) {
  Fill({"a", "b", "c"});
  auto tag = MakeStringObject(S("tag"));
  list->InsertItem(3, S("d"), S("tip"), 7, tag, 0);
  EXPECT_EQ(list->calls.back(), "InsertListItem 3 d tip 7 extra");
  list->InsertItem(0, S("first"), String(), -1, nullptr, GadgetItemDefault);
  EXPECT_EQ(ItemTexts(list), Keys({"first", "a", "b", "c", "d"}));
  EXPECT_EQ(list->listTexts, ItemTexts(list));
  EXPECT_EQ(list->ItemExtra(4), tag);
  EXPECT_EQ(list->ItemExtra(-1), nullptr);
  EXPECT_EQ(list->ItemIcon(4), 7);
  EXPECT_EQ(list->ItemTip(4), S("tip"));

  // The select flag selects through SelectItem and leaves other items alone.
  list->SelectItem(2, 1);
  list->InsertItem(1, S("sel"), String(), -1, nullptr, GadgetItemDefault);
  EXPECT_EQ(list->SelectedItems(), (std::vector<int32_t>{0, 1, 3}));
  EXPECT_EQ(list->SelectedItem(), -1);  // several

  // SetItem with a clear select flag does not deselect.
  list->SetItem(1, S("SEL"), S("t"), 2, nullptr, 0);
  EXPECT_EQ(list->listTexts[1], S("SEL"));
  EXPECT_EQ(list->ItemState(1) & GadgetItemStateSelected, GadgetItemStateSelected);

  list->RemoveItem(0);
  EXPECT_EQ(ItemTexts(list), Keys({"SEL", "a", "b", "c", "d"}));
  EXPECT_EQ(list->listTexts, ItemTexts(list));
  list->Clear();
  EXPECT_EQ(list->ItemCount(), 0);
  EXPECT_TRUE(list->listTexts.empty());
}

TEST_F(GadgetItemsTest, IndicesOutsideTheItemsDoNothingAndAnswerEmpty) {
  Fill({"a", "b"});
  EXPECT_EQ(list->InsertItem(3, S("x"), String(), 0, nullptr, 0), 0);
  EXPECT_EQ(list->InsertItem(-1, S("x"), String(), 0, nullptr, 0), 0);
  EXPECT_EQ(list->SetItem(2, S("x"), String(), 0, nullptr, 0), 0);
  EXPECT_EQ(list->RemoveItem(2), 0);
  EXPECT_EQ(list->RemoveItem(-1), 0);
  EXPECT_EQ(list->SelectItem(5, 1), 0);
  EXPECT_EQ(list->SetItemState(2, 16), 0);
  EXPECT_EQ(list->ItemState(-3), 0);
  EXPECT_EQ(list->ItemText(2), String());
  EXPECT_EQ(list->ItemTip(-2), String());
  EXPECT_EQ(list->ItemIcon(9), 0);
  EXPECT_EQ(list->ItemFlags(9), 0);
  EXPECT_EQ(list->ItemExtra(2), nullptr);
  EXPECT_TRUE(list->calls.empty());  // nothing reached the widget
  EXPECT_EQ(ItemTexts(list), Keys({"a", "b"}));
}

TEST_F(GadgetItemsTest, SelectItemOperationsAndToggleIcons) {
  Fill({"a", "b", "c"});
  list->SelectItem(1, 1);
  EXPECT_EQ(list->SelectedItem(), 1);
  list->SelectItem(1, 2);
  EXPECT_EQ(list->SelectedItem(), -1);  // none
  list->SelectItem(-1, 1);
  EXPECT_EQ(list->SelectedItems(), (std::vector<int32_t>{0, 1, 2}));
  list->SelectItem(-1, 2);
  EXPECT_TRUE(list->SelectedItems().empty());
  list->SelectItem(0, 7);  // unknown op leaves the state
  EXPECT_TRUE(list->SelectedItems().empty());

  // An item with an icon and flag 2 shows icon + 1 while selected.
  list->InsertItem(3, S("t"), S("tip"), 4, nullptr, GadgetItemToggle);
  list->calls.clear();
  list->SelectItem(3, 1);
  ASSERT_EQ(list->calls.size(), 2u);
  EXPECT_EQ(list->calls[0], "SetListItem 3 t tip 5");
  EXPECT_EQ(list->calls[1], "SetListItemState 3 16");
  list->SelectItem(3, 0);
  EXPECT_EQ(list->listIcons[3], 4);
  EXPECT_EQ(list->ItemIcon(3), 4);  // the model keeps the base icon
}

TEST_F(GadgetItemsTest, SelectionChangedReportsTheFirstIndexThatDiffers) {
  Fill({"0", "1", "2", "3", "4", "5", "6", "7"});
  auto select = [&](std::vector<int32_t> indices) {
    list->SelectItem(-1, 0);
    for (int32_t i : indices) list->SelectItem(i, 1);
    return list->SelectionChanged();
  };
  EXPECT_EQ(select({2, 5}), 2);  // from nothing: the first new index
  EXPECT_EQ(select({2, 7}), 5);
  EXPECT_EQ(select({2}), 7);
  EXPECT_EQ(select({2, 4}), 4);
  EXPECT_EQ(select({2, 4}), -1);
  EXPECT_EQ(select({}), 2);
  EXPECT_EQ(list->arrPrevSelection, std::vector<int32_t>{});
}

TEST_F(GadgetItemsTest, LocalisedItemsReachTheWidgetTranslated) {
  FrontEndInit();  // gives the model the service's lookup
  LocalizationAddText(S("de"), S("open"), S("offnen"));
  LocalizationStoreLanguage(S("de"));
  LocalizationStoreMode(LocalizationOn);
  list->InsertItem(0, S("open"), S("open"), -1, nullptr, GadgetItemLocalized);
  list->InsertItem(1, S("open"), String(), -1, nullptr, 0);
  EXPECT_EQ(list->listTexts, Keys({"offnen", "open"}));
  EXPECT_EQ(list->ItemText(0), S("open"));  // the model keeps the key
  LocalizationStoreMode(0);
  list->SetItem(0, S("open"), String(), -1, nullptr, GadgetItemLocalized);
  EXPECT_EQ(list->listTexts[0], S("open"));
}

TEST_F(GadgetItemsTest, SyncDataEditsTheItemsWithFewInsertsAndRemoves) {
  struct TCase {
    std::vector<String> from, to;
    int inserts, removes;
  } cases[] = {
      {Keys({"a", "b", "c", "d"}), Keys({"a", "c", "d", "e"}), 1, 1},  // drop b, append e
      {Keys({"a", "b", "c"}), Keys({"x", "a", "b", "c"}), 1, 0},       // insert in front
      {Keys({"a", "b", "c", "d"}), Keys({"d", "a", "b", "c"}), 1, 1},  // rotate: insert d, drop old d
      {Keys({"a", "b", "c", "d", "e"}), Keys({"a", "e"}), 1, 4},       // a skip of 3 for a run of 1: insert
      {Keys({}), Keys({"p", "q"}), 2, 0},
      {Keys({"a", "a", "b"}), Keys({"a", "b", "b"}), 2, 2},
  };
  for (const auto& c : cases) {
    list->Clear();
    for (const auto& key : c.from) list->InsertItemFromKey(list->ItemCount(), key);
    list->datakeys = c.from;
    list->calls.clear();
    list->SyncData(c.to);
    EXPECT_EQ(ItemTexts(list), c.to);
    EXPECT_EQ(list->listTexts, c.to);
    EXPECT_EQ(list->CountCalls("InsertListItem"), c.inserts) << NarrowString(c.to.front());
    EXPECT_EQ(list->CountCalls("RemoveListItem"), c.removes) << NarrowString(c.to.front());
  }
}

TEST_F(GadgetItemsTest, DataSourcesMirrorTheirElementsTextForms) {
  auto one = MakeStringObject(S("one"));
  auto source = New<TList>(std::vector<ObjectRef>{one, nullptr, MakeStringObject(S("two"))});
  EXPECT_EQ(TGadget::KeysFromList(source), Keys({"one", "two", ""}));  // skipped none leaves "" at the end

  EXPECT_EQ(list->SetDataSource(New<TStringArray>(Keys({"x", "y"}))), 0);
  EXPECT_EQ(ItemTexts(list), Keys({"x", "y"}));
  EXPECT_EQ(list->datakeys, Keys({"x", "y"}));
  EXPECT_NE(list->ItemExtra(0), nullptr);  // items carry the data source

  auto objects = New<TObjectArray>(std::vector<ObjectRef>{one});
  list->SetDataSource(objects);
  EXPECT_EQ(ItemTexts(list), Keys({"one"}));
  objects->elements.push_back(MakeStringObject(S("three")));
  list->calls.clear();
  list->SyncDataSource();
  EXPECT_EQ(ItemTexts(list), Keys({"one", "three"}));
  EXPECT_EQ(list->calls.size(), 1u);  // one insert, nothing else

  // A source with no keys clears the items, and a later sync starts afresh.
  objects->elements.clear();
  EXPECT_EQ(list->SyncDataSource(), 1);
  EXPECT_EQ(list->ItemCount(), 0);
  EXPECT_EQ(list->SyncDataSource(), 0);
  objects->elements = {one, MakeStringObject(S("three"))};
  list->SyncDataSource();
  EXPECT_EQ(ItemTexts(list), Keys({"one", "three"}));

  list->SetDataSource(New<TGadget>());  // not a container: no keys
  EXPECT_EQ(list->ItemCount(), 0);
  EXPECT_EQ(list->SetDataSource(nullptr), 0);
}

TEST_F(GadgetItemsTest, CleanUpReleasesTheTreeFiltersItemsAndDragSlots) {
  auto panel = New<TRecordingGadget>(GadgetClassPanel);
  auto button = New<TRecordingGadget>(GadgetClassButton);
  panel->_setparent(list, -1);
  button->_setparent(panel, -1);
  Fill({"a"});
  list->extra = MakeStringObject(S("x"));
  list->SetFilter([](const Ref<TEvent>&, const ObjectRef&) -> int32_t { return 0; }, MakeStringObject(S("ctx")));
  GadgetSetDragSource(2, button);
  GadgetSetDragSource(3, list);
  std::weak_ptr<TGadget> watch = button;

  list->CleanUp();
  EXPECT_EQ(button->CountCalls("Free"), 1);
  EXPECT_EQ(panel->CountCalls("Free"), 1);
  EXPECT_EQ(list->CountCalls("Free"), 1);
  EXPECT_TRUE(list->kids.empty());
  EXPECT_TRUE(panel->kids.empty());
  EXPECT_EQ(button->parent, nullptr);
  EXPECT_EQ(list->eventfilter, nullptr);
  EXPECT_EQ(list->context, nullptr);
  EXPECT_EQ(list->extra, nullptr);
  EXPECT_EQ(list->ItemCount(), 0);
  EXPECT_EQ(GadgetDragSource(2), nullptr);
  EXPECT_EQ(GadgetDragSource(3), nullptr);
  button.reset();
  EXPECT_TRUE(watch.expired());  // nothing keeps a released kid alive
}

TEST(GadgetModelTest, StartUpRegistersDragIdsAndIconStripsCutSquares) {
  GadgetInit();
  EXPECT_EQ(TEvent::DescriptionForId(GadgetDrag), S("GadgetDrag"));
  EXPECT_EQ(TEvent::DescriptionForId(GadgetDrop), S("GadgetDrop"));
  ASSERT_NE(GadgetPlaceholder(), nullptr);
  EXPECT_EQ(GadgetPlaceholder(), GadgetPlaceholder());
  EXPECT_EQ(GadgetPlaceholder()->GetText(), String());

  TIconStrip strip;
  EXPECT_EQ(strip.ExtractIconPixmap(0), nullptr);
  strip.pixmap = New<TPixmap>(6, 2);
  strip.count = 3;
  strip.pixmap->SetPixel(4, 1, 0xFF00FF00u);
  auto third = strip.ExtractIconPixmap(2);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->width, 2);
  EXPECT_EQ(third->height, 2);
  EXPECT_EQ(third->Pixel(0, 1), 0xFF00FF00u);
  EXPECT_EQ(strip.ExtractIconPixmap(3), nullptr);
  auto whole = strip.ExtractIconPixmap(-1);
  ASSERT_NE(whole, nullptr);
  EXPECT_NE(whole, strip.pixmap);
  EXPECT_EQ(whole->pixels, strip.pixmap->pixels);

  // A window reaching past any edge, even from the ends of the 32-bit range,
  // comes out transparent there.
  auto corner = strip.pixmap->Window(3, 0, 2, 3);
  EXPECT_EQ(corner->pixels, (std::vector<uint32_t>{0, 0, 0, 0xFF00FF00u, 0, 0}));
  for (int32_t edge : {INT32_MAX, INT32_MIN}) {
    auto outside = strip.pixmap->Window(edge, edge, 2, 2);
    EXPECT_EQ(outside->pixels, std::vector<uint32_t>(4, 0));
  }
}

}  // namespace
