#include "diPalette.h"

#include "cuLocalization.h"
#include "diClassesImages.h"
#include "diElementOperations.h"
#include "diSheet.h"
#include "diVisualElements.h"

#include <algorithm>

void AddPaletteItem(TPaletteItemList &list, TPaletteItem *item) {
  if (!ContainsPaletteItem(list, item))
    list.push_back(item);
}

bool ContainsPaletteItem(const TPaletteItemList &list, const TPaletteItem *item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

namespace {
QString TextOf(int id) { return id ? LoadString(id) : QString(); }
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The tree

QString TPaletteNode::Caption() const { return TextOf(FCaptionId); }

TPaletteItem::TPaletteItem(std::uint16_t options, int image, int descriptionId, int captionId, std::int32_t weight)
    : TPaletteNode(captionId, weight), FDescriptionId(descriptionId), FTune(options),
      FRadioGroup(options & piRadio ? 1 : 0) {
  SetImage(image);
}

QString TPaletteItem::Description() const { return TextOf(FDescriptionId); }

void TPaletteItem::SetImage(int image) {
  FSmallImage = FTune & piLargeImage ? -1 : image;
  FLargeImage = FTune & piLargeImage ? image : -1;
}

TPaletteGroup *TPaletteItem::Group() const {
  for (TNode *n = Owner(); n; n = n->Owner())
    if (auto *group = dynamic_cast<TPaletteGroup *>(n))
      return group;
  return nullptr;
}

TSchemePaletteItem::TSchemePaletteItem(std::uint16_t options, int image, int descriptionId, int captionId,
                                       std::int32_t weight)
    : TPaletteItem(options, image, descriptionId, captionId, weight) {
  if (image < 0)
    SetImage(options & piLargeImage ? ClassesImages().Large : ClassesImages().Small);
}

bool TSchemePaletteItem::ExecuteOn(TVisualElement &element, bool state) {
  TSheetUpdate update(HasOption(piNoSheetUpdate) ? nullptr : element.Sheet());
  return element.ExecutePaletteItem(element, *this, state);
}

namespace {
// The palette window asks only the first selected element whether an item is enabled, so a run over a
// selection applies the whole display rule to each element: a command that changes the document never
// reaches a read-only one, and an always-disabled item none.
bool ReportsEnabled(TVisualElement &element, TPaletteItem &item) {
  return GetPaletteItemDisplayState(element, item).Enabled;
}
}  // namespace

void TSchemePaletteItem::ExecuteOnList(const TVisualElementList &elements, bool state) {
  for (TVisualElement *element : elements)
    if (ReportsEnabled(*element, *this))
      ExecuteOn(*element, state);
}

QString TSchemePaletteItem::GetSoundName(bool) const { return QStringLiteral("diClassesItemSound"); }

TElementPaletteItem::TElementPaletteItem(std::uint16_t options, int image, int descriptionId, int captionId,
                                         const TElementClass &elementClass, std::int32_t weight)
    : TSchemePaletteItem(options | piSingleOnly | piChangesDocument, image, descriptionId, captionId, weight),
      FElementClass(&elementClass) {}

QString TElementPaletteItem::GetSoundName(bool) const { return QStringLiteral("diClassesElementSound"); }

void TSubExecutablePaletteItem::ExecuteSubCommand(TVisualElement &, const QString &) {}

void TSubExecutablePaletteItem::ExecuteSubOnList(const TVisualElementList &elements, const QString &text) {
  for (TVisualElement *element : elements)
    if (ReportsEnabled(*element, *this))
      ExecuteSubCommand(*element, text);
}

QString TDisablePaletteItem::GetSoundName(bool) const { return QStringLiteral("diClassesDisableSound"); }

TElementPaletteItem *TPalette::FindElementItem(const TElementClass &elementClass) const {
  for (TNode *n = FirstChild(); n; n = n->NextInTree(this))
    if (auto *item = dynamic_cast<TElementPaletteItem *>(n); item && &item->ElementClass() == &elementClass)
      return item;
  return nullptr;
}

namespace {
// Adds the items under `node` that insert one of `classes`; answers whether any was added.
bool AddElementItemsBelow(const TNode &node, const TElementClassList &classes, TPaletteItemList &list) {
  bool added = false;
  for (TNode *n = node.FirstChild(); n; n = n->Next()) {
    auto *item = static_cast<TPaletteItem *>(n);
    const std::size_t at = list.size();
    const bool below = AddElementItemsBelow(*item, classes, list);
    const auto *elementItem = dynamic_cast<TElementPaletteItem *>(item);
    const bool accepted = elementItem && std::find(classes.begin(), classes.end(),
                                                   &elementItem->ElementClass()) != classes.end();
    if (!below && !accepted)
      continue;
    if (!ContainsPaletteItem(list, item))
      list.insert(list.begin() + std::ptrdiff_t(at), item);
    added = true;
  }
  return added;
}
}  // namespace

void TPalette::AddElementItems(const TElementClassList &classes, TPaletteItemList &list) const {
  for (TNode *group = FirstChild(); group; group = group->Next())
    AddElementItemsBelow(*group, classes, list);
}

// ---------------------------------------------------------------------------------------------------------
// The process-wide palette and the framework's part of it

namespace {

struct TProcessPalette {
  TNodePtr<TPalette> Root = MakeNode<TPalette>();
  TFrameworkPalette Framework{};

  TProcessPalette() {
    TPalette &p = *Root;
    TFrameworkPalette &f = Framework;
    f.Actions = CreatePaletteGroup(p, sidGroupActions, 1000);
    f.Options = CreatePaletteGroup(p, sidGroupOptions, 800);
    f.Insert = CreatePaletteGroup(p, sidGroupInsert, 700);
    f.State = CreatePaletteGroup(p, sidGroupState, 150);
    f.Additional = CreatePaletteGroup(p, sidGroupAdditional, 100);
    f.InsertOther = CreatePaletteItem<TPaletteItem>(*f.Insert, std::uint16_t(0x3100), -1, sidItemOtherHint,
                                                    sidItemOther, 10);
    f.AdditionalOther = CreatePaletteItem<TPaletteItem>(*f.Additional, std::uint16_t(0x3100), -1,
                                                        sidItemOtherHint, sidItemOther, 10);
    f.Disable = CreatePaletteItem<TDisablePaletteItem>(*f.State, std::uint16_t(0x0341), ClassesImages().Large + 1,
                                                       sidItemDisabledHint, sidItemDisabled, 10);
    f.Disable->SetShortcut(QStringLiteral("D"));
  }
};

TProcessPalette &ProcessPalette() {
  static TProcessPalette palette;
  return palette;
}

}  // namespace

TPalette &Palette() { return *ProcessPalette().Root; }

const TFrameworkPalette &FrameworkPalette() { return ProcessPalette().Framework; }

TPaletteGroup *CreatePaletteGroup(TPalette &palette, int captionId, std::int32_t weight) {
  TNodePtr<TPaletteGroup> group(new TPaletteGroup(captionId, weight));
  group->SetOwner(&palette);
  return group.release();
}

// ---------------------------------------------------------------------------------------------------------
// Offered items, display and execution

void GetOfferedItems(TVisualElement &element, TPaletteItemList &list) {
  element.GetPaletteItems(list);
  if (element.IsPart())
    if (TElement *owner = element.OwnerElement())
      owner->GetPartPaletteItems(&element, list);
}

namespace {

void RemoveWithOption(TPaletteItemList &list, std::uint16_t option) {
  std::erase_if(list, [option](const TPaletteItem *item) { return item->HasOption(option); });
}

// Drops the items with sub-items none of which is in the list, until none is left to drop (dropping a
// sub-item that has sub-items of its own can empty its parent in turn).
void RemoveEmptyMenus(TPaletteItemList &list) {
  auto empty = [&list](const TPaletteItem *item) {
    if (!item->HasSubItems())
      return false;
    for (TNode *n = item->FirstChild(); n; n = n->Next())
      if (ContainsPaletteItem(list, static_cast<TPaletteItem *>(n)))
        return false;
    return true;
  };
  while (std::erase_if(list, empty) > 0) {
  }
}

}  // namespace

bool GetGroupPaletteItems(const TVisualElementList &selected, TPaletteItemList &list) {
  list.clear();
  bool groupMode = false;
  bool first = true;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    TPaletteItemList offered;
    GetOfferedItems(**it, offered);
    RemoveWithOption(offered, piSingleOnly);
    groupMode = groupMode || !offered.empty();
    if (first) {
      list = std::move(offered);
      first = false;
    } else {
      std::erase_if(list, [&offered](const TPaletteItem *item) { return !ContainsPaletteItem(offered, item); });
      RemoveWithOption(list, piNotForSeveral);
    }
    RemoveEmptyMenus(list);
    if (list.empty() && groupMode)
      break;
  }
  return groupMode;
}

bool GetPaletteFor(TVisualElement &element, const TVisualElementList &selected, TPaletteItemList &list) {
  list.clear();
  const bool groupMode =
      (element.VisualOptions() & voSelectsChildren) && !selected.empty() && GetGroupPaletteItems(selected, list);
  if (groupMode) {
    element.AdjustGroupPaletteItems(list);
  } else {
    list.clear();
    GetOfferedItems(element, list);
    RemoveWithOption(list, piGroupOnly);
  }
  return groupMode;
}

TVisualElementList SelectedVisualChildren(const TVisualElement &element) {
  TVisualElementList selected;
  for (TVisualElement *c = element.FirstVisualChild(); c; c = c->NextVisualSibling())
    if (c->IsSelectedOwn())
      selected.push_back(c);
  return selected;
}

bool GetPaletteFor(TVisualElement &element, TPaletteItemList &list) {
  const TVisualElementList selected =
      element.VisualOptions() & voSelectsChildren ? SelectedVisualChildren(element) : TVisualElementList();
  return GetPaletteFor(element, selected, list);
}

TPaletteItemState GetPaletteItemDisplayState(TVisualElement &target, TPaletteItem &item) {
  TPaletteItemState state;
  target.GetPaletteItemState(item, state);
  if (item.HasOption(piAlwaysDisabled) || (item.HasOption(piChangesDocument) && target.IsReadOnly()))
    state.Enabled = false;
  return state;
}

TPaletteItemTune GetPaletteItemTune(TVisualElement &element, TPaletteItem &item) {
  TPaletteItemTune tune;
  tune.Group = item.ParentNode();
  tune.Caption = item.Caption();
  tune.SmallImage = item.SmallImage();
  tune.LargeImage = item.LargeImage();
  tune.Options = item.Tune();
  tune.RadioGroup = item.RadioGroup();
  tune.Shortcut = item.Shortcut();
  element.TunePaletteItem(item, tune);
  return tune;
}

namespace {
void PlayItemSound(TVisualElement *element, TSchemePaletteItem &item, bool state) {
  if (element && element->Sheet())
    element->Sheet()->PlaySound(item.GetSoundName(state));
}

// One sheet update (unless the item says otherwise) and one undo group around a group selection's run.
class TGroupRun {
public:
  TGroupRun(const TVisualElementList &selected, TSchemePaletteItem &item)
      : FFirst(selected.empty() ? nullptr : selected.front()),
        FUpdate(FFirst && !item.HasOption(piNoSheetUpdate) ? FFirst->Sheet() : nullptr),
        FGroup(FFirst ? FFirst->Scheme() : nullptr, QString()) {}
  TVisualElement *First() const { return FFirst; }

private:
  TVisualElement *FFirst;
  TSheetUpdate FUpdate;
  TSchemeGroup FGroup;
};
}  // namespace

void ExecutePaletteItemOn(TVisualElement &element, TSchemePaletteItem &item, bool state) {
  PlayItemSound(&element, item, state);
  item.ExecuteOn(element, state);
}

void ExecutePaletteItemOnGroup(const TVisualElementList &selected, TSchemePaletteItem &item, bool state) {
  TGroupRun run(selected, item);
  PlayItemSound(run.First(), item, state);
  item.ExecuteOnList(selected, state);
}

void ExecutePaletteSubCommandOn(TVisualElement &element, TSubExecutablePaletteItem &item, const QString &text) {
  PlayItemSound(&element, item, false);
  item.ExecuteSubCommand(element, text);
}

void ExecutePaletteSubCommandOnGroup(const TVisualElementList &selected, TSubExecutablePaletteItem &item,
                                     const QString &text) {
  TGroupRun run(selected, item);
  PlayItemSound(run.First(), item, false);
  item.ExecuteSubOnList(selected, text);
}
